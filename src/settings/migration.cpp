#include "settings/migration.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/debug_print.h"
#include "platform/profile.h"
#include "settings/settings_ini.h"

namespace kestrun {

namespace {

constexpr const char* kCarriedKeys[] = {"Current_User",   "DataPath",       "LastCOM",
                                        "SmartUpdate",    "AutoClearFlash", "DownloadWorkout",
                                        "SoftUpd_Period", "FwUpdate_Period"};

}  // namespace

void MigrateOldSettings() {
    const std::string old_path = old_settings_file_path();
    const std::string new_path = settings_file_path();
    std::error_code error;
    if (!std::filesystem::exists(old_path, error)) {
        DebugPrint("no old.ini found");
        return;
    }

    DebugPrint("Migration : copy section");
    // old.ini goes only when everything it carries has reached Watch.ini.
    bool carried_all = true;
    std::vector<std::string> sections;
    if (list_profile_sections(old_path, sections) == 0) {
        for (const std::string& name : sections) {
            if (profile_names_equal(name, kGlobalSection))
                continue;
            std::vector<ProfileEntry> entries;
            if (read_profile_section(old_path, name, entries) == 0 &&
                write_profile_section(new_path, name, entries) != 0)
                carried_all = false;
        }
    }

    DebugPrint("Migration : copy key");
    std::vector<ProfileEntry> carried;
    for (const char* key : kCarriedKeys) {
        std::string value;
        if (read_profile_string(old_path, kGlobalSection, key, value) == 0)
            carried.emplace_back(key, value);
    }
    if (!carried.empty() && write_profile_strings(new_path, kGlobalSection, carried) != 0)
        carried_all = false;
    if (!carried_all) {
        DebugPrint("Migration : Watch.ini cannot be written, old.ini kept");
        return;
    }

    DebugPrint("Migration : del old.ini");
    std::filesystem::remove(old_path, error);
}

}  // namespace kestrun
