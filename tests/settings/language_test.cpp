#include "settings/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/registry_store.h"
#include "settings/app_settings.h"
#include "settings/settings_ini.h"
#include "settings/settings_start.h"
#include "settings_fixture.h"
#include "ui/english_strings.h"
#include "ui/string_ids.h"

namespace kestrun {
namespace {

class Language : public testing::SettingsTest {
protected:
    std::string lang(const std::string& name) { return program_dir() + "/Lang/" + name; }

    // A language file with the given "String" lines, signed unless `sign` is false.
    void write_language(const std::string& name, const std::string& language_lines,
                        const std::string& string_lines, bool sign = true) {
        std::filesystem::create_directories(program_dir() + "/Lang");
        std::ofstream out(lang(name), std::ios::binary);
        out << "[Language]\r\n" << language_lines << "[String]\r\n" << string_lines;
        out.close();
        if (!sign)
            return;
        ASSERT_EQ(sign_language_file(lang(name)), 0);
    }

    void write_german(bool sign = true) {
        write_language("de.ini",
                       "EnglishName=German\r\nLocaleName=Deutsch\r\nJS_LangCode=de\r\n"
                       "JS_Locale=1031\r\nLocale=deu\r\n",
                       "0001=218,Nachricht\r\n"
                       "0002=302,   Erste<LF>Zweite\r\n"
                       "0003=235,\r\n"
                       "0005=407,Zwischenzeit\r\n",
                       sign);
    }

    void set_registry(RegistryRoot root, std::string_view key, const char* name,
                      const char* value) {
        ASSERT_TRUE(RegKey(root, key).set_text(name, value));
    }
};

TEST_F(Language, EnglishIsTheTableWithoutATranslation) {
    EXPECT_EQ(GetText(kStrMessage), "Message");
    EXPECT_NE(GetText(kStrCheckClipCable).find("PC and\r\nthe clip"), std::string::npos);
    EXPECT_EQ(GetText(99999), "");
    EXPECT_FALSE(current_language().translated);
}

TEST_F(Language, TranslationReplacesTextsIdByIdUpToTheFirstMissingKey) {
    write_german();
    write_profile_string(watch_ini(), "user", "LastLanguage", "German (Deutsch),de.ini");
    LoadStartLanguage("user");
    ASSERT_TRUE(current_language().translated);
    EXPECT_EQ(GetText(kStrMessage), "Nachricht");
    EXPECT_EQ(GetText(kStrLap), "Erste\r\nZweite") << "leading blanks dropped, <LF> a line break";
    EXPECT_EQ(GetText(kStrLapTime), "Lap Time") << "an empty text keeps the English one";
    EXPECT_EQ(GetText(kStrSplitTime), "Split Time") << "0005 follows the gap after 0003";

    CurrentLanguage language = current_language();
    EXPECT_EQ(language.name, "German (Deutsch)");
    EXPECT_EQ(language.code, "de");
    EXPECT_EQ(language.locale, 1031);
    EXPECT_EQ(language.locale_name, "deu");
}

TEST_F(Language, TranslationTakingOtherArgumentsFallsBackToEnglish) {
    write_profile_string(watch_ini(), "user", "LastLanguage", "German (Deutsch),de.ini");
    write_language("de.ini", "",
                   "0001=21003,Test %d von %d\r\n0002=20004,Fehler in %d !\r\n"
                   "0003=24005,Zeilen %\r\n0004=20009,Version %5.1f\r\n");
    LoadStartLanguage("user");
    EXPECT_EQ(GetText(kStrTestOfTotal), "Test %d von %d");
    EXPECT_EQ(GetText(kStrFileFirmwareVersion), "Version %5.1f")
        << "width and precision may differ";
    EXPECT_EQ(GetText(kStrErrorLoadingSessionSummary),
              "Error in loading session summary file '%s' !")
        << "a format taking other arguments falls back to English";
    EXPECT_EQ(GetText(kStrLineCount), "Line count = %d");
}

TEST_F(Language, ChecksumCoversEveryLineButTheIdLine) {
    write_german();
    EXPECT_TRUE(CheckLanguageFile(lang("de.ini")));

    std::ifstream in(lang("de.ini"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    text.replace(text.find("Nachricht"), 9, "Nachricht!");
    std::ofstream(lang("de.ini"), std::ios::binary) << text;
    EXPECT_FALSE(CheckLanguageFile(lang("de.ini")));

    set_registry(RegistryRoot::kCurrentUser, kVelmoraKey, "BypassLang", "1");
    EXPECT_TRUE(CheckLanguageFile(lang("de.ini")));
    set_registry(RegistryRoot::kCurrentUser, kVelmoraKey, "BypassLang", "0");

    write_german(false);
    EXPECT_FALSE(CheckLanguageFile(lang("de.ini"))) << "no ID";
    EXPECT_FALSE(CheckLanguageFile(lang("missing.ini")));
}

TEST_F(Language, SigningIsStableWhenTheIdLineIsRewritten) {
    write_german();
    ASSERT_EQ(sign_language_file(lang("de.ini")), 0);
    EXPECT_TRUE(CheckLanguageFile(lang("de.ini")));
}

TEST_F(Language, ListHoldsValidCompleteFilesSortedByEnglishName) {
    write_german();
    write_language("fr.ini",
                   "EnglishName=French\r\nLocaleName=Fran\xE7"
                   "ais\r\nJS_LangCode=fr\r\n"
                   "JS_Locale=1036\r\n",
                   "0001=218,Message\r\n");
    write_language("xx.ini",
                   "EnglishName=Broken\r\nLocaleName=B\r\nJS_LangCode=xx\r\nJS_Locale=1\r\n", "",
                   false);
    write_language("nocode.ini", "EnglishName=Aaa\r\nLocaleName=A\r\nJS_Locale=1\r\n", "");
    std::vector<LanguageRecord> list = ListLanguages();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].list_text(), "French (Français)");
    EXPECT_EQ(list[1].list_text(), "German (Deutsch)");
    EXPECT_EQ(list[1].file_name, "de.ini");

    std::filesystem::remove_all(program_dir() + "/Lang");
    EXPECT_TRUE(ListLanguages().empty());
}

TEST_F(Language, StartFallsBackToTheDefaultLanguageAndThenToEnglish) {
    write_german();
    struct Case {
        const char* last_language;
        bool translated;
    } cases[] = {
        {"German (Deutsch),de.ini", true},
        {"German (Deutsch),de.ini,extra", false},
        {"German (Deutsch),../Lang/de.ini", false},
        {"German (Deutsch),missing.ini", false},
    };
    for (const Case& c : cases) {
        UseBuiltInEnglish();
        write_profile_string(watch_ini(), "user", "LastLanguage", c.last_language);
        LoadStartLanguage("user");
        EXPECT_EQ(current_language().translated, c.translated) << c.last_language;
    }

    set_registry(RegistryRoot::kUsers, kDefaultLanguageKey, "DefaultLanguage",
                 "German (Deutsch),de.ini,de,1031");
    LoadStartLanguage("");
    EXPECT_EQ(GetText(kStrMessage), "Nachricht");
    EXPECT_EQ(current_language().locale_name, "deu");

    set_registry(RegistryRoot::kUsers, kDefaultLanguageKey, "DefaultLanguage", "German,de.ini");
    LoadStartLanguage("");
    EXPECT_FALSE(current_language().translated);
    EXPECT_EQ(current_language().file_path, program_dir() + "/Lang/en.ini");
}

// The printf conversions of a text, in order ("%s", "%02u", "%.2f", "%%").
std::vector<std::string> printf_conversions(std::string_view text) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        std::size_t end = i + 1;
        while (end < text.size() &&
               std::string_view("-+ #0123456789.lh").find(text[end]) != std::string_view::npos)
            ++end;
        if (end < text.size())
            found.emplace_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

// The shipped translations: signed, complete, and with the same printf conversions and line
// breaks as the English texts they replace.
TEST_F(Language, ShippedFilesTranslateEveryTextFaithfully) {
    for (const char* name : {"en.ini", "de.ini", "fr.ini"}) {
        const std::string path = std::string(KESTRUN_LANG_SOURCE_DIR) + "/" + name;
        SCOPED_TRACE(name);
        ASSERT_TRUE(CheckLanguageFile(path));
        std::vector<TranslationEntry> table;
        ASSERT_EQ(read_translation(path, table), 0);
        std::map<int, std::string> by_id;
        for (const TranslationEntry& entry : table) {
            EXPECT_TRUE(by_id.emplace(entry.id, entry.text).second) << "twice: " << entry.id;
            EXPECT_FALSE(english_text(entry.id).empty()) << "unknown id " << entry.id;
        }
        for (const StringEntry& english : english_string_table()) {
            auto found = by_id.find(english.id);
            ASSERT_NE(found, by_id.end()) << "missing id " << english.id;
            EXPECT_FALSE(found->second.empty()) << english.id;
            std::string original(english.text), translated = found->second;
            EXPECT_EQ(printf_conversions(original), printf_conversions(translated)) << english.id;
            auto count = [](const std::string& text, const std::string& what) {
                std::size_t n = 0;
                for (std::size_t at = text.find(what); at != std::string::npos;
                     at = text.find(what, at + 1))
                    ++n;
                return n;
            };
            EXPECT_EQ(count(original, "\r\n"), count(translated, "<LF>")) << english.id;
        }
    }
}

TEST_F(Language, LastLanguageOfTheUserTranslatesTheProgramAtStart) {
    std::filesystem::copy(KESTRUN_LANG_SOURCE_DIR, program_dir() + "/Lang");
    write_profile_string(watch_ini(), kGlobalSection, "Current_User", "user");
    struct Case {
        const char* last_language;
        const char* lap_time;
    } cases[] = {
        {"German (Deutsch),de.ini", "Rundenzeit"},
        {"French (Français),fr.ini", "Temps au tour"},
    };
    for (const Case& c : cases) {
        write_profile_string(watch_ini(), "user", "LastLanguage", c.last_language);
        AppSettings settings;
        ASSERT_EQ(run_settings_start(settings, StartOverrides{}), 0);
        EXPECT_EQ(GetText(kStrLapTime), c.lap_time);
    }
}

}  // namespace
}  // namespace kestrun
