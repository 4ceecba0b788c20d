#pragma once

#include <string>

#include "settings/app_settings.h"

namespace kestrun {

// The settings steps of the program's start before the Data Path dialog: the migration of
// old.ini, then LoadSettings. The main window runs these, then the Data Path dialog
// (DataPathStart), then load_current_user.
void begin_settings_start(AppSettings& settings);

// What a run without a window changes for itself only (nothing of it is saved).
struct StartOverrides {
    std::string data_path;  // empty: the stored data path
    bool has_activity = false;
    std::string activity;  // empty with has_activity: the default activity
};

// The whole start without a window, as the command line runs it before each command: the steps
// above, the data path (the Data Path dialog's "Ok" performed at once, creating the user folder
// on first use), the current user's profile and units, and the current activity (the override,
// else the user's last activity when its folder exists). 0 ready.
int run_settings_start(AppSettings& settings, const StartOverrides& overrides);

}  // namespace kestrun
