#include "settings/migration.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/debug_print.h"
#include "platform/profile.h"
#include "platform/registry_store.h"
#include "settings/settings_ini.h"
#include "settings/settings_store.h"
#include "settings_fixture.h"

namespace kestrun {
namespace {

class Migration : public testing::SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ASSERT_TRUE(RegKey(RegistryRoot::kCurrentUser, kVelmoraKey).set_text("DebugView", "1"));
        set_debugger_output([this](std::string_view line) { lines_.emplace_back(line); });
    }
    void TearDown() override {
        set_debugger_output(nullptr);
        SettingsTest::TearDown();
    }
    std::string old_ini() const { return program_dir() + "/old.ini"; }
    std::string global(const char* key) {
        std::string value = "(absent)";
        read_global_text(key, value);
        return value;
    }

    std::vector<std::string> lines_;
};

TEST_F(Migration, CarriesUserSectionsWholeAndEightGlobalKeys) {
    write_profile_string(watch_ini(), kGlobalSection, "VSPort", "4");
    write_profile_string(watch_ini(), kGlobalSection, "DataPath", "/new/path");
    write_profile_string(watch_ini(), "user", "Weight", "900");
    write_profile_string(watch_ini(), "user", "Kept", "only in the new file");
    std::ofstream(old_ini(), std::ios::binary)
        << "[Dorivore Viri Zevuzer Settings]\r\nCurrent_User=user\r\nDataPath=/old/path\r\n"
           "LastCOM=7\r\nDownloadWorkout=\r\nVSPort=12\r\nID_Watch=00ABCD\r\n"
           "[user]\r\nWeight=700\r\nLegend=2,3\r\n";

    MigrateOldSettings();

    EXPECT_EQ(global("Current_User"), "user");
    EXPECT_EQ(global("DataPath"), "/old/path");
    EXPECT_EQ(global("LastCOM"), "7");
    EXPECT_EQ(global("DownloadWorkout"), "(absent)") << "an empty old key is not copied";
    EXPECT_EQ(global("VSPort"), "4") << "not one of the eight keys";
    EXPECT_EQ(global("ID_Watch"), "(absent)");
    std::vector<ProfileEntry> user;
    ASSERT_EQ(read_profile_section(watch_ini(), "user", user), 0);
    EXPECT_EQ(user, (std::vector<ProfileEntry>{{"Weight", "700"}, {"Legend", "2,3"}}));
    EXPECT_FALSE(testing::file_exists(old_ini()));
    EXPECT_EQ(lines_, (std::vector<std::string>{"Migration : copy section", "Migration : copy key",
                                                "Migration : del old.ini"}));

    lines_.clear();
    MigrateOldSettings();
    EXPECT_EQ(lines_, std::vector<std::string>{"no old.ini found"});
}

TEST_F(Migration, FirstStartAfterMigrationKeepsWhatWasCarried) {
    std::ofstream(old_ini(), std::ios::binary)
        << "[Dorivore Viri Zevuzer Settings]\r\nCurrent_User=user\r\nLastCOM=7\r\n"
           "[user]\r\nWeight=700\r\n";
    MigrateOldSettings();
    AppSettings settings;
    LoadSettings(settings);
    EXPECT_EQ(global("LastCOM"), "7");
    EXPECT_EQ(global("VSPort"), "9");
    std::string weight;
    EXPECT_EQ(read_profile_string(watch_ini(), "user", "Weight", weight), 0);
    EXPECT_EQ(weight, "700");
}

TEST_F(Migration, OldFileStaysWhenWatchIniCannotBeWritten) {
    std::filesystem::create_directories(watch_ini());  // a folder where the file should be
    std::ofstream(old_ini(), std::ios::binary)
        << "[Dorivore Viri Zevuzer Settings]\r\nLastCOM=7\r\n[user]\r\nWeight=700\r\n";
    MigrateOldSettings();
    EXPECT_TRUE(testing::file_exists(old_ini()));
}

}  // namespace
}  // namespace kestrun
