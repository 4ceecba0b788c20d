#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The messages the program speaks with the watch inside the frames. A command's id is even and
// its reply carries the id plus one.
namespace kestrun {

inline constexpr uint8_t kCmdGetVersion = 0x10;
inline constexpr uint8_t kReplyVersion = 0x11;
inline constexpr uint8_t kCmdQueryStatus = 0x2C;
inline constexpr uint8_t kReplyStatus = 0x2D;
// A version text longer than this is cut.
inline constexpr std::size_t kMaxVersionText = 31;

// The text of a version reply (payload with its id, n bytes in all): with n = 5 the two 16-bit
// little-endian numbers as "%u.%u", otherwise the bytes after the id up to the first zero byte,
// at most 31 of them, read as Windows-1252.
std::string version_text(const uint8_t* payload, std::size_t n);

}  // namespace kestrun
