#include "export/google_earth_export.h"

#include "export/kml_temp_files.h"
#include "ui/string_ids.h"
#include "workout/value_rules.h"

namespace kestrun {

std::string kml_file_base_name(const std::string& workout_name, const std::string& workout_file) {
    if (workout_name.empty()) {
        std::string base = workout_file.substr(workout_file.find_last_of('/') + 1);
        auto dot = base.rfind('.');
        return dot == std::string::npos ? base : base.substr(0, dot);
    }
    std::string name = workout_name;
    for (char& c : name) {
        if (std::string_view("\"#*/:<>?\\|").find(c) != std::string_view::npos)
            c = '_';
    }
    return name;
}

GoogleEarthExportResult export_to_google_earth(const GoogleEarthExport& request,
                                               KmlOptions& options, GoogleEarthSettings& settings,
                                               const AskOkCancel& ask, Launcher& launcher) {
    GoogleEarthExportResult result;
    std::string folder = request.data_path;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    result.kml_path =
        folder + kml_file_base_name(request.workout_name, request.workout_file) + ".kml";
    add_kml_temp_file(result.kml_path);

    bool any_position = false;
    if (request.display_track) {
        for (const TrackPoint& p : request.display_track->points()) {
            if (has_position(p)) {
                any_position = true;
                break;
            }
        }
    }
    if (!any_position) {
        result.status_text_id = kStrNoGpsData;
        return result;
    }
    if (request.launch_mode == kGoogleEarthDisabled)
        return result;

    options.line_color = 0x00FFFF00;
    options.show_data_points = 0;
    options.show_lap_info = 0;
    options.show_split_markers = 0;
    result.write_result =
        write_workout_kml(request.display_track, result.kml_path, options, request.user);
    // Google Earth is started in any case; it reports a missing file itself.
    result.launch = launch_google_earth(result.kml_path, settings, ask, launcher);
    result.launched = true;
    return result;
}

}  // namespace kestrun
