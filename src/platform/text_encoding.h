#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text is UTF-8 inside the program and converted where a file format names another encoding:
// UTF-16LE names and settings, 8-bit names as Windows-1252. Invalid input never fails: a bad
// sequence becomes U+FFFD (or '?' in Windows-1252).
namespace kestrun {

std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);

// UTF-16LE bytes (no byte-order mark) of up to `byte_count` bytes, stopping at the first zero unit.
std::string utf16le_bytes_to_utf8(const uint8_t* bytes, std::size_t byte_count);
// Writes the first `max_units` UTF-16 code units of `text` as UTF-16LE into `out`, which has room
// for 2 * max_units bytes; the rest of `out` is left as it is. Returns the units written. A
// surrogate pair that would be cut in two is left out whole.
std::size_t utf8_to_utf16le_bytes(std::string_view text, uint8_t* out, std::size_t max_units);

std::string cp1252_to_utf8(std::string_view text);
// Characters without a Windows-1252 form become '?'.
std::string utf8_to_cp1252(std::string_view text);

// Compares two texts with the letters A-Z and a-z taken as equal (file extensions, INI names,
// port names); other characters must match exactly.
bool equals_ignoring_case(std::string_view a, std::string_view b);

// Number of UTF-16 code units of a UTF-8 text (the "characters" of length limits).
std::size_t utf16_length(std::string_view text);
// The longest prefix of `text` with at most `max_units` UTF-16 code units, cut between characters.
std::string utf8_prefix_units(std::string_view text, std::size_t max_units);

}  // namespace kestrun
