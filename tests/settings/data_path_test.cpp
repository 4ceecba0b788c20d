#include "settings/data_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/library_state.h"
#include "settings/settings_ini.h"
#include "settings/settings_start.h"
#include "settings/settings_store.h"
#include "settings_fixture.h"

namespace kestrun {
namespace {

using DataPath = testing::SettingsTest;

bool is_folder(const std::string& path) {
    return std::filesystem::is_directory(path);
}

TEST_F(DataPath, FirstStartNeedsTheDialogAndOkCreatesTheUserFolder) {
    AppSettings settings;
    LoadSettings(settings);
    const std::string data = dir().file("data") + "/Kestrun/user";
    EXPECT_EQ(settings.data_path, data);
    EXPECT_TRUE(is_folder(data)) << "the default data folder is made at load";

    DataPathStart start(settings, true);
    EXPECT_TRUE(start.begin());
    EXPECT_FALSE(start.confirmed());
    start.confirm();
    EXPECT_TRUE(is_folder(data + "/user/ActivityLib"));
    EXPECT_TRUE(is_folder(data + "/user/PathLib"));
    EXPECT_EQ(library_state().user_folder(), data + "/user");

    DataPathStart later(settings, true);
    EXPECT_FALSE(later.begin()) << "the user folder exists: no dialog";
    EXPECT_TRUE(later.confirmed());
}

TEST_F(DataPath, ChosenFolderIsWrittenAtOnce) {
    AppSettings settings;
    LoadSettings(settings);
    DataPathStart start(settings, true);
    ASSERT_TRUE(start.begin());
    start.choose_data_path(dir().file("elsewhere/"));
    std::string stored;
    ASSERT_EQ(read_global_text("DataPath", stored), 0);
    EXPECT_EQ(stored, dir().file("elsewhere"));
    EXPECT_EQ(library_state().paths().data_path, dir().file("elsewhere"));

    start.reset_to_default();
    read_global_text("DataPath", stored);
    EXPECT_EQ(stored, dir().file("data") + "/Kestrun/user");
}

TEST_F(DataPath, AnotherStoredUserBecomesUserAndIsSavedSo) {
    write_global_text("Current_User", "bob");
    AppSettings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.current_user, "bob");
    DataPathStart start(settings, true);
    if (start.begin())
        start.confirm();
    EXPECT_EQ(settings.current_user, "user");
    SaveSettings(settings);
    std::string stored;
    read_global_text("Current_User", stored);
    EXPECT_EQ(stored, "user");
}

TEST_F(DataPath, RunWithoutWindowAppliesItsOverridesWithoutSavingThem) {
    std::filesystem::create_directories(dir().file("data/Kestrun/user/user/Running.act"));
    write_global_text("Current_User", "user");
    write_profile_string(watch_ini(), "user", "LastActivity", "Running");
    AppSettings settings;
    ASSERT_EQ(run_settings_start(settings, {}), 0);
    EXPECT_EQ(library_state().paths().current_activity, "Running");

    StartOverrides overrides;
    overrides.data_path = dir().file("other");
    overrides.has_activity = true;
    ASSERT_EQ(run_settings_start(settings, overrides), 0);
    EXPECT_EQ(library_state().user_folder(), dir().file("other/user"));
    EXPECT_EQ(library_state().paths().current_activity, "");
    EXPECT_TRUE(is_folder(dir().file("other/user/ActivityLib")));
    std::string stored;
    read_global_text("DataPath", stored);
    EXPECT_NE(stored, dir().file("other"));
}

}  // namespace
}  // namespace kestrun
