#include "export/google_earth.h"

#include "settings/language.h"
#include "ui/string_ids.h"

namespace kestrun {

int google_earth_launch_mode(int stored_value) {
    return stored_value >= 0 && stored_value <= 2 ? stored_value : kGoogleEarthDoubleClick;
}

std::string google_earth_folder(const std::string& app_path_value) {
    // The registry value is read through a buffer of 260 characters.
    return app_path_value.substr(0, app_path_value.find('\0'));
}

std::string google_earth_program(const std::string& folder) {
    return folder + "/googleearth.exe";
}

GoogleEarthLaunch launch_google_earth(const std::string& kml_path, GoogleEarthSettings& settings,
                                      const AskOkCancel& ask, Launcher& launcher) {
    const std::string folder = google_earth_folder(settings.app_path);
    if (!folder.empty()) {
        // The path travels as one argument, blanks and all.
        launcher.start_program(google_earth_program(folder), {kml_path});
        return GoogleEarthLaunch::kStarted;
    }
    if (settings.warn_disabled)
        return GoogleEarthLaunch::kNothing;
    if (ask && ask(GetText(kStrNoGoogleEarthInstalled))) {
        launcher.open_url(kGoogleEarthDownloadPage);
    }
    settings.warn_disabled = true;
    return GoogleEarthLaunch::kWarned;
}

}  // namespace kestrun
