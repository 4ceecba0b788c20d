#include "settings/language.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "platform/atomic_file.h"
#include "platform/crc32.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "platform/registry_store.h"
#include "platform/text_encoding.h"
#include "settings/settings_ini.h"
#include "ui/english_strings.h"

namespace kestrun {

namespace {

constexpr std::size_t kMaxLanguageFileBytes = 4u << 20;
constexpr std::string_view kLineBreakTag = "<LF>";

struct LanguageState {
    std::shared_mutex mutex;
    CurrentLanguage language;
    std::vector<TranslationEntry> table;
    std::unordered_map<int, std::size_t> first_index;  // id -> first entry in file order
};

LanguageState& state() {
    static LanguageState s;
    return s;
}

std::string replace_line_breaks(std::string text) {
    std::size_t at = 0;
    while ((at = text.find(kLineBreakTag, at)) != std::string::npos) {
        text.replace(at, kLineBreakTag.size(), "\r\n");
        at += 2;
    }
    return text;
}

// The arguments a printf format consumes: each conversion's length modifier and letter, and
// each "*" width or precision. "%%" consumes none.
std::string consumed_arguments(std::string_view text) {
    std::string kinds;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        std::size_t at = i + 1;
        while (at < text.size() && std::string_view("-+ #0123456789.*lhqjztL").find(text[at]) !=
                                       std::string_view::npos) {
            if (text[at] == '*' || text[at] == 'l' || text[at] == 'h' || text[at] == 'L' ||
                text[at] == 'j' || text[at] == 'z' || text[at] == 't' || text[at] == 'q')
                kinds += text[at];
            ++at;
        }
        if (at >= text.size()) {
            kinds += '?';  // a dangling '%'
            break;
        }
        if (text[at] != '%') {
            kinds += text[at];
            kinds += ' ';
        }
        i = at;
    }
    return kinds;
}

void install(CurrentLanguage language, std::vector<TranslationEntry> table) {
    std::unordered_map<int, std::size_t> first;
    for (std::size_t i = 0; i < table.size(); ++i)
        first.emplace(table[i].id, i);
    std::unique_lock lock(state().mutex);
    state().language = std::move(language);
    state().table = std::move(table);
    state().first_index = std::move(first);
}

CurrentLanguage built_in_english() {
    CurrentLanguage english;
    english.file_path = language_folder() + "/en.ini";
    return english;
}

std::vector<std::string> split_commas(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        parts.emplace_back(
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

// A language file is named by its plain name inside "Lang"; a name that could leave the folder
// is refused.
bool plain_file_name(std::string_view name) {
    return !name.empty() && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos && name != "." && name != "..";
}

bool ends_with_ini(std::string_view name) {
    if (name.size() < 4)
        return false;
    return profile_names_equal(name.substr(name.size() - 4), ".ini");
}

// Loads `file_name` of the Lang folder as the current language. False when it is not a plain
// name, fails the checksum or cannot be read.
bool load_language_file(const std::string& name, const std::string& file_name,
                        CurrentLanguage& language, std::vector<TranslationEntry>& table) {
    if (!plain_file_name(file_name))
        return false;
    std::string path = language_folder() + "/" + file_name;
    if (!CheckLanguageFile(path, "Watch"))
        return false;
    if (read_translation(path, table) != 0)
        return false;
    language.name = name;
    language.file_path = path;
    return true;
}

void read_locale_keys(CurrentLanguage& language) {
    std::string text;
    language.code = "en";
    if (read_ini_text(language.file_path, "Language", "JS_LangCode", text) == 0)
        language.code = text;
    language.locale_name = "usa";
    if (read_ini_text(language.file_path, "Language", "Locale", text) == 0)
        language.locale_name = text;
    language.locale = 0;
    if (read_ini_text(language.file_path, "Language", "JS_Locale", text) == 0)
        parse_decimal(text, language.locale);
}

void use_default_language() {
    std::string value;
    RegKey(RegistryRoot::kUsers, kDefaultLanguageKey).query_text("DefaultLanguage", value);
    if (value.empty()) {
        install(built_in_english(), {});
        return;
    }
    std::vector<std::string> parts = split_commas(value);
    CurrentLanguage language;
    std::vector<TranslationEntry> table;
    if (parts.size() != 4 || !load_language_file(parts[0], parts[1], language, table)) {
        install(built_in_english(), {});
        return;
    }
    language.code = parts[2];
    parse_decimal(parts[3], language.locale);
    std::string locale_name;
    language.locale_name = "usa";
    if (read_ini_text(language.file_path, "Language", "Locale", locale_name) == 0)
        language.locale_name = locale_name;
    language.translated = !language.name.empty();
    if (!language.translated)
        table.clear();
    install(std::move(language), std::move(table));
}

}  // namespace

std::string LanguageRecord::list_text() const {
    return english_name + " (" + own_name + ")";
}

std::string language_folder() {
    return program_file_path("Lang");
}

std::string GetText(int id) {
    std::string text = replace_line_breaks(std::string(english_text(id)));
    std::shared_lock lock(state().mutex);
    if (!state().language.translated)
        return text;
    auto found = state().first_index.find(id);
    if (found == state().first_index.end())
        return text;
    const std::string& translated = state().table[found->second].text;
    if (translated.empty())
        return text;
    return replace_line_breaks(translated);
}

int read_translation(const std::string& file, std::vector<TranslationEntry>& table) {
    table.clear();
    if (file.empty())
        return -1;
    // One pass over the file; the first key of each name wins, as a key-by-key read finds it.
    std::vector<ProfileEntry> keys;
    if (read_profile_keys(file, "String", keys) != 0)
        return 0;
    std::unordered_map<std::string, std::string> values;
    for (auto& [key, value] : keys) {
        std::string folded = key;
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        values.emplace(std::move(folded), std::move(value));
    }
    for (int n = 1;; ++n) {
        auto found = values.find(format_text("%04d", n));
        if (found == values.end() || found->second.empty())
            break;
        std::string value = utf8_prefix_units(found->second, kProfileTextSize - 1);
        TranslationEntry entry;
        std::size_t comma = value.find(',');
        if (comma != std::string::npos) {
            int32_t id = -1;
            if (parse_decimal(std::string_view(value).substr(0, comma), id))
                entry.id = id;
            std::string_view text = std::string_view(value).substr(comma + 1);
            while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                text.remove_prefix(1);
            entry.text = text;
            // Texts are used as printf formats: a translation that would consume other
            // arguments than the English text falls back to English instead.
            if (consumed_arguments(entry.text) != consumed_arguments(english_text(entry.id)))
                entry.text.clear();
        }
        table.push_back(std::move(entry));
    }
    return 0;
}

int LoadTranslation(const std::string& file) {
    std::vector<TranslationEntry> table;
    if (read_translation(file, table) != 0)
        return -1;
    CurrentLanguage language = current_language();
    install(std::move(language), std::move(table));
    return 0;
}

int language_file_checksum(const std::string& file, uint32_t& checksum) {
    std::string bytes;
    if (read_whole_file(file, bytes, kMaxLanguageFileBytes) != 0)
        return -1;
    // The line reader yields characters; each one feeds its low 8 bits.
    std::string characters;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            characters.push_back(bytes[i]);
    } else {
        characters = std::move(bytes);
    }
    uint32_t reg = kCrc32Initial;
    std::size_t start = 0;
    while (start < characters.size()) {
        std::size_t end = characters.find('\n', start);
        std::size_t stop = end == std::string::npos ? characters.size() : end;
        std::string_view line = std::string_view(characters).substr(start, stop - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.starts_with("ID="))
            reg = crc32_update(reg, line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    checksum = reg;
    return 0;
}

int sign_language_file(const std::string& file) {
    // A placeholder first: it adds the line, or rewrites it as "ID=…", which the sum skips.
    if (write_profile_string(file, "Watch", "ID", "00000000", ProfileEncoding::kCp1252) != 0)
        return -1;
    uint32_t reg = 0;
    if (language_file_checksum(file, reg) != 0)
        return -1;
    return write_profile_string(file, "Watch", "ID", format_text("%08X", reg)) == 0 ? 0 : -1;
}

bool language_file_id_matches(const std::string& file, uint32_t checksum) {
    std::string id_text;
    if (read_ini_text(file, "Watch", "ID", id_text) != 0)
        return false;
    uint32_t stored = 0;
    return parse_hex(id_text, stored) && stored == checksum;
}

bool CheckLanguageFile(const std::string& file, std::string_view section) {
    if (read_velmora_number("BypassLang", 0) != 0)
        return true;
    uint32_t reg = 0;
    if (language_file_checksum(file, reg) != 0)
        return false;
    std::string id_text;
    if (read_ini_text(file, section, "ID", id_text) != 0)
        return false;
    uint32_t stored = 0;
    if (!parse_hex(id_text, stored))
        return false;
    return stored == reg;
}

std::vector<LanguageRecord> ListLanguages() {
    std::vector<LanguageRecord> records;
    std::error_code error;
    std::filesystem::directory_iterator it(language_folder(), error);
    if (error)
        return records;
    std::vector<std::string> names;
    for (const auto& entry : it) {
        std::string name = entry.path().filename().string();
        if (ends_with_ini(name) && entry.is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string path = language_folder() + "/" + name;
        if (!CheckLanguageFile(path, "Watch"))
            continue;
        LanguageRecord record;
        record.file_name = name;
        std::string locale;
        if (read_ini_text(path, "Language", "EnglishName", record.english_name) != 0 ||
            read_ini_text(path, "Language", "LocaleName", record.own_name) != 0 ||
            read_ini_text(path, "Language", "JS_LangCode", record.code) != 0 ||
            read_ini_text(path, "Language", "JS_Locale", locale) != 0)
            continue;
        parse_decimal(locale, record.locale);
        records.push_back(std::move(record));
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const LanguageRecord& a, const LanguageRecord& b) {
                         return a.english_name < b.english_name;
                     });
    return records;
}

void LoadStartLanguage(const std::string& user) {
    if (user.empty()) {
        use_default_language();
        return;
    }
    std::string last;
    if (read_section_text(user, "LastLanguage", last) == 0) {
        std::vector<std::string> parts = split_commas(last);
        CurrentLanguage language;
        std::vector<TranslationEntry> table;
        if (parts.size() == 2 && load_language_file(parts[0], parts[1], language, table)) {
            read_locale_keys(language);
            language.translated = !language.name.empty();
            if (!language.translated)
                table.clear();
            install(std::move(language), std::move(table));
            return;
        }
    }
    use_default_language();
}

int SelectLanguage(const LanguageRecord& record) {
    CurrentLanguage language;
    std::vector<TranslationEntry> table;
    if (!load_language_file(record.list_text(), record.file_name, language, table))
        return -1;
    read_locale_keys(language);
    language.translated = true;
    install(std::move(language), std::move(table));
    return 0;
}

void UseBuiltInEnglish() {
    install(built_in_english(), {});
}

CurrentLanguage current_language() {
    std::shared_lock lock(state().mutex);
    return state().language;
}

void SaveLastLanguage(const std::string& user) {
    CurrentLanguage language = current_language();
    std::string file_name = std::filesystem::path(language.file_path).filename().string();
    write_section_text(user, "LastLanguage", language.name + "," + file_name);
}

std::string quick_guide_file_name() {
    CurrentLanguage language = current_language();
    std::string name;
    if (language.file_path.empty() ||
        read_ini_text(language.file_path, "Language", "QuickGuide", name) != 0)
        return "QuickGuide.htm";
    return name;
}

}  // namespace kestrun
