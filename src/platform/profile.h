#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Profile (INI) files with the Windows profile-function rules: section and key names compare
// without regard to case, the first section or key of a name wins, blanks around keys and values
// are dropped, a value wrapped in matching quotes loses them, and an empty value reads as absent.
// Every write rewrites the whole file safely (temporary file renamed over it), so it is on disk
// when the call returns; lines the write does not touch stay as they were.
//
// Files are read as UTF-16LE when they start with FF FE, as UTF-8 when they start with EF BB BF
// or are valid UTF-8, and as Windows-1252 otherwise; a rewrite keeps the file's encoding and
// writes CR LF line ends. Texts are UTF-8 inside the program.
namespace kestrun {

enum class ProfileEncoding { kUtf16Le, kUtf8, kUtf8Bom, kCp1252 };

using ProfileEntry = std::pair<std::string, std::string>;  // key, value

// Buffer sizes in UTF-16 units as the profile functions take them; a value gets at most size - 1.
inline constexpr std::size_t kProfileTextSize = 260;
inline constexpr std::size_t kProfileSectionSize = 32767;

// 0 and the value when the key is present with a non-empty value; -1 (and `out` untouched) when
// the file, the section or the key is missing or the value is empty.
int read_profile_string(const std::string& path, std::string_view section, std::string_view key,
                        std::string& out, std::size_t buffer_size = kProfileTextSize);

// The key lines of a section, in file order. 0 found; -1 no such section or no file.
// At most `buffer_size` UTF-16 units are returned, counting "key=value" and one terminator each.
int read_profile_section(const std::string& path, std::string_view section,
                         std::vector<ProfileEntry>& out,
                         std::size_t buffer_size = kProfileSectionSize);

// Every key of a section with its value as read_profile_string reads it (quotes removed, no
// length cut), in file order, in one pass over the file. 0 found; -1 no such section or no file.
int read_profile_keys(const std::string& path, std::string_view section,
                      std::vector<ProfileEntry>& out);

// Every section name in file order. 0 read; -1 the file cannot be read.
int list_profile_sections(const std::string& path, std::vector<std::string>& out);

// Writes one key (creating the file, the section or the key as needed). 0 written; -1 failed.
// A new file gets `new_file_encoding`.
int write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view value,
                         ProfileEncoding new_file_encoding = ProfileEncoding::kUtf16Le);

// Writes several keys of one section in a single rewrite of the file.
int write_profile_strings(const std::string& path, std::string_view section,
                          const std::vector<ProfileEntry>& entries,
                          ProfileEncoding new_file_encoding = ProfileEncoding::kUtf16Le);

// Replaces the whole content of a section (creating it when missing) by `entries`.
int write_profile_section(const std::string& path, std::string_view section,
                          const std::vector<ProfileEntry>& entries,
                          ProfileEncoding new_file_encoding = ProfileEncoding::kUtf16Le);

// Removes one key; 0 removed or already absent, -1 the file could not be written.
int delete_profile_key(const std::string& path, std::string_view section, std::string_view key);

// Replaces the file by an empty UTF-16LE profile: the two bytes FF FE.
int create_empty_profile(const std::string& path);

// Case-insensitive comparison of names (ASCII letters fold; other characters compare exactly).
bool profile_names_equal(std::string_view a, std::string_view b);

}  // namespace kestrun
