#pragma once

#include <string>
#include <string_view>

// Accessors of single keys of Watch.ini that other parts of the program read or write on their
// own: each opens the file, reads or writes the one key and applies its default. Per-user keys
// use the current user's section (the library state's user name).
namespace kestrun {

// "GE": the Google Earth launch mode 0..2; any other value reads as 2.
int read_google_earth_mode();
// "GE_Setting", default 0.
int read_google_earth_setting();
// "GE_WarnDisable" (global), default 0.
int read_google_earth_warn_disable();
void write_google_earth_warn_disable(int value);

// "SkipNotFixed" (global): on unless the key is present with the value 0.
bool read_skip_not_fixed();

// "DownloadWorkout" (global), default 0.
int read_download_workout();
void write_download_workout(int value);

// "LastCOM" (global), default -1; the write also updates the process-wide copy.
int read_last_com();
void write_last_com(int port);

// "ControlsPos" of the current user, returned only when "ControlPosVer" is 1.8.
bool read_controls_layout(std::string& layout);
// Writes "ControlPosVer" as 1.8 and then "ControlsPos".
void write_controls_layout(std::string_view layout);

// "LastActivity" of the current user (cut to 40 characters), also kept in the user profile.
void write_last_activity(std::string_view activity);

// "LastLanguage" of the current user, when a translated language is in use.
void save_last_language_if_translated();

}  // namespace kestrun
