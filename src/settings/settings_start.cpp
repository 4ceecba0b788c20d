#include "settings/settings_start.h"

#include <filesystem>

#include "settings/data_path.h"
#include "settings/library_state.h"
#include "settings/migration.h"
#include "settings/settings_store.h"

namespace kestrun {

void begin_settings_start(AppSettings& settings) {
    MigrateOldSettings();
    LoadSettings(settings);
}

int run_settings_start(AppSettings& settings, const StartOverrides& overrides) {
    begin_settings_start(settings);
    if (!overrides.data_path.empty()) {
        // A relative folder is taken from the working folder, as a shell user means it.
        std::error_code error;
        std::string path = std::filesystem::absolute(overrides.data_path, error).string();
        if (error)
            path = overrides.data_path;
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        settings.data_path = path;
        library_state().set_data_path(path);
    }
    DataPathStart start(settings, true);
    if (start.begin())
        start.confirm();
    load_current_user(settings);
    if (overrides.has_activity)
        library_state().set_current_activity(overrides.activity);
    return 0;
}

}  // namespace kestrun
