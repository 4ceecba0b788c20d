#include "platform/profile.h"

#include <sys/stat.h>

#include <mutex>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace kestrun {

namespace {

constexpr std::size_t kMaxProfileBytes = 16u << 20;

// One lock for every profile file: a read-modify-write never interleaves with another in this
// process (the diagnostic output reads the registry store from worker threads).
std::mutex& profile_mutex() {
    static std::mutex mutex;
    return mutex;
}

struct ProfileText {
    ProfileEncoding encoding = ProfileEncoding::kUtf16Le;
    bool empty_file = true;
    std::vector<std::string> lines;  // UTF-8, without line ends
};

bool is_valid_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t stop = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return lines;
}

// -1 when the file cannot be read; a missing file is not an error for writers (they start empty).
int load_profile(const std::string& path, ProfileText& profile) {
    std::string bytes;
    if (read_whole_file(path, bytes, kMaxProfileBytes) != 0)
        return -1;
    std::string text;
    profile.empty_file = bytes.empty();
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        profile.encoding = ProfileEncoding::kUtf16Le;
        std::u16string units;
        units.reserve((bytes.size() - 2) / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        text = utf16_to_utf8(units);
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        profile.encoding = ProfileEncoding::kUtf8Bom;
        text = bytes.substr(3);
    } else if (is_valid_utf8(bytes)) {
        profile.encoding = ProfileEncoding::kUtf8;
        text = std::move(bytes);
    } else {
        profile.encoding = ProfileEncoding::kCp1252;
        text = cp1252_to_utf8(bytes);
    }
    profile.lines = split_lines(text);
    return 0;
}

int save_profile(const std::string& path, const ProfileText& profile) {
    std::string text;
    for (const std::string& line : profile.lines) {
        text += line;
        text += "\r\n";
    }
    std::string bytes;
    switch (profile.encoding) {
        case ProfileEncoding::kUtf16Le: {
            bytes = "\xFF\xFE";
            for (char16_t unit : utf8_to_utf16(text)) {
                bytes.push_back(static_cast<char>(unit & 0xFF));
                bytes.push_back(static_cast<char>(unit >> 8));
            }
            break;
        }
        case ProfileEncoding::kUtf8Bom:
            bytes = "\xEF\xBB\xBF" + text;
            break;
        case ProfileEncoding::kUtf8:
            bytes = std::move(text);
            break;
        case ProfileEncoding::kCp1252:
            bytes = utf8_to_cp1252(text);
            break;
    }
    return write_file_atomically(path, std::string_view(bytes));
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The section name of a header line "[name]", or false.
bool section_header(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    auto close = line.find(']');
    name = trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
    return true;
}

// The key and raw value of a key line, or false for blank, comment and header lines.
bool key_line(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return false;
    auto eq = trimmed.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = trim(trimmed.substr(0, eq));
    value = trim(trimmed.substr(eq + 1));
    return true;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

struct SectionRange {
    std::size_t header = 0;  // index of the header line
    std::size_t end = 0;     // one past the section's last line
    bool found = false;
};

SectionRange find_section(const ProfileText& profile, std::string_view section) {
    SectionRange range;
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
        std::string_view name;
        if (!section_header(profile.lines[i], name))
            continue;
        if (range.found) {
            range.end = i;
            return range;
        }
        if (profile_names_equal(name, section)) {
            range.found = true;
            range.header = i;
        }
    }
    range.end = profile.lines.size();
    return range;
}

// Index of the key's line in the section, or npos.
std::size_t find_key(const ProfileText& profile, const SectionRange& range, std::string_view key) {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        std::string_view name, value;
        if (key_line(profile.lines[i], name, value) && profile_names_equal(name, key))
            return i;
    }
    return std::string::npos;
}

// Where a new key line goes: after the section's last non-blank line.
std::size_t insertion_point(const ProfileText& profile, const SectionRange& range) {
    std::size_t at = range.end;
    while (at > range.header + 1 && trim(profile.lines[at - 1]).empty())
        --at;
    return at;
}

SectionRange ensure_section(ProfileText& profile, std::string_view section) {
    SectionRange range = find_section(profile, section);
    if (range.found)
        return range;
    profile.lines.push_back("[" + std::string(section) + "]");
    range.found = true;
    range.header = profile.lines.size() - 1;
    range.end = profile.lines.size();
    return range;
}

void set_key(ProfileText& profile, std::string_view section, std::string_view key,
             std::string_view value) {
    SectionRange range = ensure_section(profile, section);
    std::string line = std::string(key) + "=" + std::string(value);
    std::size_t at = find_key(profile, range, key);
    if (at != std::string::npos) {
        profile.lines[at] = std::move(line);
    } else {
        profile.lines.insert(
            profile.lines.begin() + static_cast<std::ptrdiff_t>(insertion_point(profile, range)),
            std::move(line));
    }
}

// Loads for a write: a missing file starts empty with the encoding for new files.
// A file that exists but cannot be read is never replaced.
bool load_for_write(const std::string& path, ProfileText& profile, ProfileEncoding encoding) {
    if (load_profile(path, profile) == 0) {
        if (profile.empty_file)
            profile.encoding = encoding;
        return true;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return false;
    profile = ProfileText{};
    profile.encoding = encoding;
    return true;
}

bool has_line_break(std::string_view text) {
    return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

}  // namespace

bool profile_names_equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

int read_profile_string(const std::string& path, std::string_view section, std::string_view key,
                        std::string& out, std::size_t buffer_size) {
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (load_profile(path, profile) != 0)
        return -1;
    SectionRange range = find_section(profile, section);
    if (!range.found)
        return -1;
    std::size_t at = find_key(profile, range, key);
    if (at == std::string::npos)
        return -1;
    std::string_view name, value;
    key_line(profile.lines[at], name, value);
    value = unquote(value);
    if (value.empty() || buffer_size < 2)
        return -1;
    out = utf8_prefix_units(value, buffer_size - 1);
    return 0;
}

int read_profile_section(const std::string& path, std::string_view section,
                         std::vector<ProfileEntry>& out, std::size_t buffer_size) {
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (load_profile(path, profile) != 0)
        return -1;
    SectionRange range = find_section(profile, section);
    if (!range.found)
        return -1;
    out.clear();
    std::size_t used = 1;  // the list's final terminator
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        std::string_view key, value;
        if (!key_line(profile.lines[i], key, value))
            continue;
        std::size_t units = utf16_length(key) + 1 + utf16_length(value) + 1;
        if (used + units > buffer_size)
            break;
        used += units;
        out.emplace_back(std::string(key), std::string(value));
    }
    return 0;
}

int read_profile_keys(const std::string& path, std::string_view section,
                      std::vector<ProfileEntry>& out) {
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (load_profile(path, profile) != 0)
        return -1;
    SectionRange range = find_section(profile, section);
    if (!range.found)
        return -1;
    out.clear();
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        std::string_view key, value;
        if (key_line(profile.lines[i], key, value))
            out.emplace_back(std::string(key), std::string(unquote(value)));
    }
    return 0;
}

int list_profile_sections(const std::string& path, std::vector<std::string>& out) {
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (load_profile(path, profile) != 0)
        return -1;
    out.clear();
    for (const std::string& line : profile.lines) {
        std::string_view name;
        if (section_header(line, name))
            out.emplace_back(name);
    }
    return 0;
}

namespace {

// A section and keys that a line of the file can hold: no line breaks, no "=" in a key.
bool writable_entries(std::string_view section, const std::vector<ProfileEntry>& entries) {
    if (section.empty() || has_line_break(section))
        return false;
    for (const auto& [key, value] : entries) {
        if (key.empty() || has_line_break(key) || has_line_break(value) ||
            key.find('=') != std::string::npos)
            return false;
    }
    return true;
}

}  // namespace

int write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view value, ProfileEncoding new_file_encoding) {
    return write_profile_strings(path, section, {{std::string(key), std::string(value)}},
                                 new_file_encoding);
}

int write_profile_strings(const std::string& path, std::string_view section,
                          const std::vector<ProfileEntry>& entries,
                          ProfileEncoding new_file_encoding) {
    if (!writable_entries(section, entries))
        return -1;
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (!load_for_write(path, profile, new_file_encoding))
        return -1;
    for (const auto& [key, value] : entries)
        set_key(profile, section, key, value);
    return save_profile(path, profile);
}

int write_profile_section(const std::string& path, std::string_view section,
                          const std::vector<ProfileEntry>& entries,
                          ProfileEncoding new_file_encoding) {
    if (!writable_entries(section, entries))
        return -1;
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (!load_for_write(path, profile, new_file_encoding))
        return -1;
    SectionRange range = ensure_section(profile, section);
    std::vector<std::string> replaced;
    for (const auto& [key, value] : entries)
        replaced.push_back(key + "=" + value);
    auto first = profile.lines.begin() + static_cast<std::ptrdiff_t>(range.header + 1);
    auto last = profile.lines.begin() + static_cast<std::ptrdiff_t>(range.end);
    // Keep the blank lines that separate this section from the next one.
    while (last != first && trim(*(last - 1)).empty())
        --last;
    first = profile.lines.erase(first, last);
    profile.lines.insert(first, replaced.begin(), replaced.end());
    return save_profile(path, profile);
}

int delete_profile_key(const std::string& path, std::string_view section, std::string_view key) {
    std::lock_guard lock(profile_mutex());
    ProfileText profile;
    if (load_profile(path, profile) != 0)
        return 0;
    SectionRange range = find_section(profile, section);
    if (!range.found)
        return 0;
    std::size_t at = find_key(profile, range, key);
    if (at == std::string::npos)
        return 0;
    profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(at));
    return save_profile(path, profile);
}

int create_empty_profile(const std::string& path) {
    std::lock_guard lock(profile_mutex());
    return write_file_atomically(path, std::string_view("\xFF\xFE", 2));
}

}  // namespace kestrun
