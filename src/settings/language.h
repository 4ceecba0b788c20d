#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The program's texts in the current language: the built-in English table, replaced id by id by
// the translation of a language file from the program's "Lang" folder. Safe to call from any
// thread.
namespace kestrun {

// The text of string `id` in the current language: the translation's text when it has a
// non-empty one, else the English table's text, else an empty text. "<LF>" becomes CR LF.
std::string GetText(int id);

struct TranslationEntry {
    int id = -1;
    std::string text;
};

struct CurrentLanguage {
    std::string name;       // list text "English name (own name)"; empty for the built-in English
    std::string file_path;  // the language file
    std::string code = "en";
    int32_t locale = 0;
    std::string locale_name = "usa";
    bool translated = false;
};

// One language file as the Options dialog lists it.
struct LanguageRecord {
    std::string file_name;  // without folder, e.g. "de.ini"
    std::string english_name;
    std::string own_name;
    std::string code;
    int32_t locale = 0;

    // "English name (own name)"
    std::string list_text() const;
};

// The "Lang" folder of the program folder.
std::string language_folder();

// Reads the "String" section of `file` into `table`: keys "0001", "0002", … up to the first
// missing one. -1 when `file` is empty, else 0 (a file without the section gives an empty table).
int read_translation(const std::string& file, std::vector<TranslationEntry>& table);
// Reads the translation of `file` into the current language's table. -1 when `file` is empty.
int LoadTranslation(const std::string& file);

// The checksum register of a language file: CRC-32 over every line but those starting "ID=",
// without line ends, register from FFFFFFFF and no final inversion. -1 when unreadable.
int language_file_checksum(const std::string& file, uint32_t& checksum);
// Writes the checksum into "ID" of section "Watch" (adding the section and the key first when
// missing, since the checksum covers every other line). 0 signed; -1 the file failed.
int sign_language_file(const std::string& file);
// True when "ID" of section "Watch" equals `checksum` (no switch consulted).
bool language_file_id_matches(const std::string& file, uint32_t checksum);
// True when "ID" of `section` matches the checksum, or when the "BypassLang" switch is set.
bool CheckLanguageFile(const std::string& file, std::string_view section = "Watch");

// Every valid language file of the "Lang" folder, sorted by English name.
std::vector<LanguageRecord> ListLanguages();

// Chooses the language at start: the user's "LastLanguage" when `user` is not empty (the global
// "Current_User" is present) and names a valid file, else the registry's "DefaultLanguage", else
// the built-in English.
void LoadStartLanguage(const std::string& user);

// Makes a listed language current (its translation loaded). 0 done; -1 the file failed.
int SelectLanguage(const LanguageRecord& language);
// Back to the built-in English.
void UseBuiltInEnglish();

CurrentLanguage current_language();

// Writes "LastLanguage" ("name,file name") of the current language into the user's section.
void SaveLastLanguage(const std::string& user);

// The help page of the current language ("QuickGuide" of its file, else "QuickGuide.htm").
std::string quick_guide_file_name();

}  // namespace kestrun
