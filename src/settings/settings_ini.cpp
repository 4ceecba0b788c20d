#include "settings/settings_ini.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/program_folder.h"

namespace kestrun {

namespace {

std::string_view skip_blanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// Digits of `base` after blanks and a sign; false when there is none.
bool parse_integer(std::string_view text, int base, bool& negative, uint64_t& magnitude) {
    text = skip_blanks(text);
    negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (base == 16 && text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    magnitude = 0;
    bool any = false;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        any = true;
    }
    return any;
}

uint32_t low_32(bool negative, uint64_t magnitude) {
    uint32_t value = static_cast<uint32_t>(magnitude);
    return negative ? static_cast<uint32_t>(0u - value) : value;
}

}  // namespace

std::string settings_file_path() {
    return program_file_path("Watch.ini");
}
std::string old_settings_file_path() {
    return program_file_path("old.ini");
}

bool parse_decimal(std::string_view text, int32_t& out) {
    bool negative;
    uint64_t magnitude;
    if (!parse_integer(text, 10, negative, magnitude))
        return false;
    out = static_cast<int32_t>(low_32(negative, magnitude));
    return true;
}

bool parse_unsigned(std::string_view text, uint32_t& out) {
    bool negative;
    uint64_t magnitude;
    if (!parse_integer(text, 10, negative, magnitude))
        return false;
    out = low_32(negative, magnitude);
    return true;
}

bool parse_hex(std::string_view text, uint32_t& out) {
    bool negative;
    uint64_t magnitude;
    if (!parse_integer(text, 16, negative, magnitude))
        return false;
    out = low_32(negative, magnitude);
    return true;
}

bool parse_double(std::string_view text, double& out) {
    std::string copy(skip_blanks(text));
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str())
        return false;
    out = value;
    return true;
}

int read_global_text(std::string_view key, std::string& out) {
    return read_profile_string(settings_file_path(), kGlobalSection, key, out);
}

int read_global_number(std::string_view key, int32_t& out) {
    std::string text;
    if (read_global_text(key, text) != 0)
        return -1;
    parse_decimal(text, out);
    return 0;
}

int read_global_unsigned(std::string_view key, uint32_t& out) {
    std::string text;
    if (read_global_text(key, text) != 0)
        return -1;
    parse_unsigned(text, out);
    return 0;
}

int read_global_hex(std::string_view key, uint32_t& out) {
    std::string text;
    if (read_global_text(key, text) != 0)
        return -1;
    parse_hex(text, out);
    return 0;
}

int read_global_double(std::string_view key, double& out) {
    std::string text;
    if (read_global_text(key, text) != 0)
        return -1;
    parse_double(text, out);
    return 0;
}

int write_global_text(std::string_view key, std::string_view value) {
    return write_profile_string(settings_file_path(), kGlobalSection, key, value);
}

int write_global_number(std::string_view key, int32_t value) {
    return write_global_text(key, format_text("%d", value));
}

int read_section_text(std::string_view section, std::string_view key, std::string& out,
                      std::size_t buffer_size) {
    if (section.empty())
        return -1;
    return read_profile_string(settings_file_path(), section, key, out, buffer_size);
}

int read_section_number(std::string_view section, std::string_view key, int32_t& out) {
    std::string text;
    if (read_section_text(section, key, text) != 0)
        return -1;
    parse_decimal(text, out);
    return 0;
}

int write_section_text(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty())
        return -1;
    return write_profile_string(settings_file_path(), section, key, value);
}

int write_section_number(std::string_view section, std::string_view key, int32_t value) {
    return write_section_text(section, key, format_text("%d", value));
}

int read_ini_text(const std::string& path, std::string_view section, std::string_view key,
                  std::string& out) {
    return read_profile_string(path, section, key, out);
}

}  // namespace kestrun
