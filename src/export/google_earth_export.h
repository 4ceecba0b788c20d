#pragma once

#include <string>

#include "export/google_earth.h"
#include "export/kml_writer.h"
#include "settings/kml_options.h"
#include "workout/workout.h"

// The workout browser's Google Earth action: a KML file of the display track in the data folder,
// handed to Google Earth.
namespace kestrun {

struct GoogleEarthExport {
    std::string workout_name;  // the "Remark"
    std::string workout_file;  // the selected file, for its base name when the remark is empty
    std::string data_path;     // "DataPath": where the temporary KML files go
    const TrackLog* display_track = nullptr;
    int launch_mode = kGoogleEarthDoubleClick;
    KmlUser user;
};

struct GoogleEarthExportResult {
    std::string kml_path;
    int status_text_id = 0;  // kStrNoGpsData for the status line, else 0
    int write_result = kKmlNoTrack;
    GoogleEarthLaunch launch = GoogleEarthLaunch::kNothing;
    bool launched = false;  // false when the mode is "Disable" or there is no GPS data
};

// The KML file name for a workout: the remark with " # * / : < > ? \ | replaced by "_", or the
// workout file's base name when the remark is empty.
std::string kml_file_base_name(const std::string& workout_name, const std::string& workout_file);

// Records the path in the temporary KML files, writes and launches. `options` is the program's
// record: the export sets its line colour and clears its three display switches.
GoogleEarthExportResult export_to_google_earth(const GoogleEarthExport& request,
                                               KmlOptions& options, GoogleEarthSettings& settings,
                                               const AskOkCancel& ask, Launcher& launcher);

}  // namespace kestrun
