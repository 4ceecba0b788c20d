#pragma once

// format_text, used with the settings texts.
#include "platform/text_format.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/profile.h"

// Access to Watch.ini: the global section and the per-user sections. Every read returns 0 when
// the key is present (non-empty) and -1 when it is absent, leaving the output untouched when
// absent, so the caller's default stands. A present value that does not parse as a number also
// leaves the output untouched. Every write is on disk when the call returns.
namespace kestrun {

inline constexpr std::string_view kGlobalSection = "Dorivore Viri Zevuzer Settings";
inline constexpr std::size_t kControlsPosSize = 3072;

// program folder + "/Watch.ini", and the earlier installation's "old.ini" beside it.
std::string settings_file_path();
std::string old_settings_file_path();

int read_global_text(std::string_view key, std::string& out);
int read_global_number(std::string_view key, int32_t& out);     // %d
int read_global_unsigned(std::string_view key, uint32_t& out);  // %u
int read_global_hex(std::string_view key, uint32_t& out);       // %X
int read_global_double(std::string_view key, double& out);      // %f
int write_global_text(std::string_view key, std::string_view value);
int write_global_number(std::string_view key, int32_t value);  // %d

int read_section_text(std::string_view section, std::string_view key, std::string& out,
                      std::size_t buffer_size = kProfileTextSize);
int read_section_number(std::string_view section, std::string_view key, int32_t& out);  // %d
int write_section_text(std::string_view section, std::string_view key, std::string_view value);
int write_section_number(std::string_view section, std::string_view key, int32_t value);

// Text of a key of any INI file (260 characters).
int read_ini_text(const std::string& path, std::string_view section, std::string_view key,
                  std::string& out);

// Number parsing with the C formats' rules: leading blanks, an optional sign, then digits; false
// when no digit follows. Values wrap to 32 bits as a scanf conversion stores them.
bool parse_decimal(std::string_view text, int32_t& out);
bool parse_unsigned(std::string_view text, uint32_t& out);
bool parse_hex(std::string_view text, uint32_t& out);
bool parse_double(std::string_view text, double& out);

}  // namespace kestrun
