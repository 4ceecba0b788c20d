#pragma once

#include <functional>
#include <string>

#include "platform/launcher.h"

// Google Earth is an outside program: it is started with a KML file when installed, and when it
// is missing the user is offered, once, its download page.
namespace kestrun {

// The launch modes of the user's "GE" setting.
constexpr int kGoogleEarthDisabled = 0;
constexpr int kGoogleEarthSingleClick = 1;
constexpr int kGoogleEarthDoubleClick = 2;
// A stored value outside 0..2 reads as double-click launch.
int google_earth_launch_mode(int stored_value);

inline constexpr const char* kGoogleEarthDownloadPage =
    "https://www.google.com/earth/about/versions/";

// The installation folder from the "AppPath" value of Google Earth's key; empty when missing.
std::string google_earth_folder(const std::string& app_path_value);
// The program inside the folder: "<folder>/googleearth.exe", appended as it is.
std::string google_earth_program(const std::string& folder);

struct GoogleEarthSettings {
    std::string app_path;        // the "AppPath" value; empty: not installed
    bool warn_disabled = false;  // "GE_WarnDisable"
};

enum class GoogleEarthLaunch {
    kStarted,  // handed to the program (whether it starts is its own matter)
    kWarned,   // missing: the user was asked; "GE_WarnDisable" is now set and must be saved
    kNothing,  // missing and already warned
};

// Asks an OK/Cancel question (the text) and returns true for OK.
using AskOkCancel = std::function<bool(const std::string& text)>;

GoogleEarthLaunch launch_google_earth(const std::string& kml_path, GoogleEarthSettings& settings,
                                      const AskOkCancel& ask, Launcher& launcher);

}  // namespace kestrun
