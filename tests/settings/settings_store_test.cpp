#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile.h"
#include "platform/text_encoding.h"
#include "settings/current_settings.h"
#include "settings/kml_options.h"
#include "settings/settings_ini.h"
#include "settings/settings_keys.h"
#include "settings_fixture.h"

namespace kestrun {
namespace {

class SettingsStore : public testing::SettingsTest {
protected:
    std::string global(const char* key) {
        std::string value;
        read_global_text(key, value);
        return value;
    }
    std::string user_key(const char* key) {
        std::string value;
        read_section_text("user", key, value, kControlsPosSize);
        return value;
    }
    void write_user(const char* key, const char* value) {
        write_profile_string(watch_ini(), "user", key, value);
    }
    std::string file_text() {
        std::vector<uint8_t> bytes = testing::read_bytes(watch_ini());
        return utf16le_bytes_to_utf8(bytes.data() + 2, bytes.size() - 2);
    }
};

TEST_F(SettingsStore, SavedFileHoldsEveryKeyInItsTextFormat) {
    set("TZ", "IST-5:30");
    AppSettings settings;
    LoadSettings(settings);
    settings.current_user = "user";
    SaveSettings(settings);

    std::vector<uint8_t> bytes = testing::read_bytes(watch_ini());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    std::string text = file_text();
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "line ends are CR LF";

    struct Expect {
        const char* key;
        const char* value;
    } global_keys[] = {
        {"ID_GPS", "FFFFFFFF"},
        {"ID_HR", "FFFFFFFF"},
        {"ID_Watch", "FFFFFFFF"},
        {"FunctionFlags", "01FF"},
        {"Trainvault", "0"},
        {"ProxyEnable", "0"},
        {"AutoDetectProxySettings", "1"},
        {"ProxyPort", "8080"},
        {"FactoryMode", "0"},
        {"Unit_Distance", "0"},
        {"Unit_Height", "0"},
        {"Format_Time", "0"},
        {"VSPortEnable", "1"},
        {"VSPort", "9"},
        {"TimeZone", "5.5"},
        {"AutoClear", "Y"},
        {"Current_User", "user"},
        {"LastCOM", "-1"},
        {"SmartUpdate", "1"},
        {"AutoClearFlash", "1"},
        {"DownloadWorkout", "0"},
        {"GE_WarnDisable", "0"},
        {"FilterHR", "8"},
        {"Filter", "32"},
        {"SkipNotFixed", "1"},
    };
    for (const Expect& e : global_keys)
        EXPECT_EQ(global(e.key), e.value) << e.key;
    EXPECT_EQ(global("DataPath"), dir().file("data") + "/Kestrun/user");

    Expect user_keys[] = {
        {"Gender", "1"},
        {"Birthday", "80,1,1"},
        {"Weight", "1540"},
        {"Unit_DistSpeed", "0"},
        {"TimeFormat", "0"},
        {"GraphType", "1,3,0"},
        {"GoogleMap", "0"},
        {"Legend", "1"},
        {"HR_FT", "0"},
        {"ControlPosVer", "1.0"},
        {"GE", "2"},
        {"KML_LineColor", "00FFFF00"},
        {"KML_SplitDistKM", "1.0"},
        {"KML_MinDistance", "0.5"},
        {"KML_Linewidth", "3"},
    };
    for (const Expect& e : user_keys)
        EXPECT_EQ(user_key(e.key), e.value) << e.key;
    std::string view = user_key("KsView");
    EXPECT_EQ(std::count(view.begin(), view.end(), ','), 44) << view;
}

TEST_F(SettingsStore, MissingGlobalKeyTakesItsDefaultWithoutLosingTheRest) {
    AppSettings settings;
    LoadSettings(settings);
    settings.current_user = "user";
    settings.watch_id = 0x12AB;
    SaveSettings(settings);
    write_user("Weight", "700");
    ASSERT_EQ(delete_profile_key(watch_ini(), kGlobalSection, "VSPort"), 0);

    AppSettings again;
    LoadSettings(again);
    EXPECT_EQ(again.vs_port, 9);
    EXPECT_EQ(global("VSPort"), "9");
    EXPECT_EQ(again.watch_id, 0x12AB);
    EXPECT_EQ(global("ID_Watch"), "0012AB");
    EXPECT_EQ(user_key("Weight"), "700");
}

TEST_F(SettingsStore, ExplicitResetRecreatesTheFile) {
    AppSettings settings;
    LoadSettings(settings);
    write_user("Weight", "700");
    ResetSettings(settings);
    EXPECT_EQ(user_key("Weight"), "");
    EXPECT_EQ(global("ID_Watch"), "FFFFFFFF");
}

TEST_F(SettingsStore, AutoClearReadsNoOnlyForN) {
    struct Case {
        const char* stored;
        bool on;
    } cases[] = {{"N", false}, {"n", false}, {"Y", true}, {"y", true}, {"x", true}, {"", true}};
    for (const Case& c : cases) {
        write_profile_string(watch_ini(), kGlobalSection, "AutoClear", c.stored);
        AppSettings settings;
        LoadSettings(settings);
        EXPECT_EQ(settings.auto_clear, c.on) << c.stored;
    }
}

TEST_F(SettingsStore, TimeZoneComesFromTheSystemEvenWhenStored) {
    set("TZ", "EST5EDT");
    for (const char* stored : {"", "3.0"}) {
        write_profile_string(watch_ini(), kGlobalSection, "TimeZone", stored);
        AppSettings settings;
        LoadSettings(settings);
        EXPECT_EQ(settings.time_zone_offset, -5 * 3600) << stored;
        EXPECT_EQ(current_unit_system().time_zone_offset, -5 * 3600);
    }
}

TEST_F(SettingsStore, UserProfileReadRules) {
    write_profile_string(watch_ini(), kGlobalSection, "Current_User", "user");
    std::filesystem::create_directories(dir().file("data/Kestrun/user/user/Running.act"));
    write_user("Legend", "7,9");
    write_user("Birthday", "75,12,24");
    write_user("Unit_DistSpeed", "1");
    write_user("LastActivity", "Running");
    write_user("ActivityName", "Run,Bike,Hike,Sail,Other");
    AppSettings settings;
    LoadSettings(settings);
    UserProfile profile = current_user_profile();
    EXPECT_EQ(profile.legend, std::vector<uint32_t>{1});
    EXPECT_EQ(profile.birth_year, 75);
    EXPECT_EQ(profile.birth_day, 24);
    EXPECT_EQ(profile.last_activity, "Running");
    EXPECT_EQ(profile.activity_names[4], "Other");
    EXPECT_EQ(settings.unit_distance, 1);
    EXPECT_EQ(settings.unit_height, 1);

    write_user("Legend", "2,7,3");
    write_user("LastActivity", "Rowing");
    profile = LoadUserProfile("user", dir().file("data/Kestrun/user/user"));
    EXPECT_EQ(profile.legend, (std::vector<uint32_t>{2, 3}));
    EXPECT_EQ(profile.last_activity, "") << "no Rowing.act folder";

    std::filesystem::create_directories(dir().file("data/Kestrun/user/Escape.act"));
    write_user("LastActivity", "../Escape");
    profile = LoadUserProfile("user", dir().file("data/Kestrun/user/user"));
    EXPECT_EQ(profile.last_activity, "") << "a name with a folder separator";
}

TEST_F(SettingsStore, DefaultActivityNamesAreWrittenEmpty) {
    AppSettings settings;
    LoadSettings(settings);
    settings.current_user = "user";
    SaveSettings(settings);
    std::string value = "unset";
    EXPECT_EQ(read_section_text("user", "ActivityName", value), -1);
    EXPECT_EQ(current_user_profile().activity_names[0], "Running");
}

TEST_F(SettingsStore, GoogleEarthModeOutsideItsRangeReadsAsDoubleClick) {
    library_state().set_user_name("user");
    struct Case {
        const char* stored;
        int mode;
    } cases[] = {{"5", 2}, {"-1", 2}, {"0", 0}, {"1", 1}, {"", 2}};
    for (const Case& c : cases) {
        write_user("GE", c.stored);
        EXPECT_EQ(read_google_earth_mode(), c.mode) << c.stored;
    }
}

TEST_F(SettingsStore, ControlsLayoutCountsOnlyForVersion18) {
    library_state().set_user_name("user");
    write_user("ControlsPos", "1,2,3,4,5");
    write_user("ControlPosVer", "1.7");
    std::string layout;
    EXPECT_FALSE(read_controls_layout(layout));
    write_controls_layout("9,8,7,6,5|1,1,1,1,1");
    EXPECT_EQ(user_key("ControlPosVer"), "1.8");
    ASSERT_TRUE(read_controls_layout(layout));
    EXPECT_EQ(layout, "9,8,7,6,5|1,1,1,1,1");
}

TEST_F(SettingsStore, SkipNotFixedIsOnUnlessZero) {
    EXPECT_TRUE(read_skip_not_fixed());
    write_profile_string(watch_ini(), kGlobalSection, "SkipNotFixed", "0");
    EXPECT_FALSE(read_skip_not_fixed());
}

TEST_F(SettingsStore, KmlDistancesAreShownInMilesAndFeetAndStoredInKilometresAndMetres) {
    write_user("KML_SplitDistKM", "2.0");
    write_user("KML_MinDistance", "10.0");
    write_user("KML_LineColor", "ff0000ff");
    UnitSystem miles{1, 1, 1, 0};
    KmlOptions options = LoadKmlOptions("user", miles);
    EXPECT_DOUBLE_EQ(options.split_distance, 2.0 * 0.621369949495);
    EXPECT_DOUBLE_EQ(options.min_distance, 10.0 * 3.281);
    EXPECT_EQ(options.line_color, 0xFF0000FFu);
    SaveKmlOptions("user", options, miles);
    EXPECT_EQ(user_key("KML_SplitDistKM"), "2.0");
    EXPECT_EQ(user_key("KML_MinDistance"), "10.0");
    EXPECT_EQ(user_key("KML_LineColor"), "FF0000FF");

    KmlOptions metric = LoadKmlOptions("user", UnitSystem{});
    EXPECT_DOUBLE_EQ(metric.split_distance, 2.0);
    EXPECT_DOUBLE_EQ(metric.min_distance, 10.0);
}

}  // namespace
}  // namespace kestrun
