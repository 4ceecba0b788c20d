#pragma once

#include <string>

#include "settings/app_settings.h"

namespace kestrun {

// The default data folder: "Kestrun/user" in the Common AppData folder.
std::string default_data_path();

// Loads the global section into `settings`: a missing global key takes its default and is
// written back (the rest of the file stays as it is); the time-zone offset comes from the
// system; the data path goes to the process-wide library state; the current user's language is
// chosen; the default data folder is created; the current user's profile is loaded.
void LoadSettings(AppSettings& settings);

// Writes the global section and, when the current user name is not empty, the user's section.
// `window` gives "Position" and "WindowPlacement"; without it those keys stay as they are.
void SaveSettings(const AppSettings& settings, const WindowGeometry* window = nullptr);

// Every setting back to its default; Watch.ini is re-created empty (UTF-16LE) and saved anew.
void ResetSettings(AppSettings& settings);

// The user's section (defaults for missing keys); `last_activity` is kept only when the user
// folder holds "<name>.act".
UserProfile LoadUserProfile(const std::string& user, const std::string& user_folder);

// The global unit fields derived from the user's profile.
void derive_unit_fields(AppSettings& settings, const UserProfile& profile);

// The five default activity names (string ids 206 to 210 in the current language).
std::vector<std::string> default_activity_names();

}  // namespace kestrun
