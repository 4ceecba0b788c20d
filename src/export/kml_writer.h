#pragma once

#include <string>

#include "settings/kml_options.h"
#include "settings/unit_system.h"
#include "workout/workout.h"

// The workout's track as a KML 2.2 document: the document name, the track line's style, the
// track as one LineString thinned by a minimum distance, and a Start and a Finish placemark with
// a description table, filled into template 295.
namespace kestrun {

// What the writer takes from the current user besides the KML options.
struct KmlUser {
    UnitSystem units;            // units and time zone of the description texts
    bool raw_positions = false;  // "ShowRawLatLngInGE": write every position, no thinning
};

constexpr int kKmlWritten = 0;
constexpr int kKmlNoTrack = -1;      // no track, no points or an empty path
constexpr int kKmlNoPosition = -2;   // no point has a position
constexpr int kKmlCannotWrite = -3;  // the file could not be written

// 0 also when the template lacks the name or line-colour tag (then nothing is written).
int write_workout_kml(const TrackLog* track, const std::string& path, const KmlOptions& options,
                      const KmlUser& user);

// The document name: the file name of `path` without its folder, its ".kml" and then the text
// from its last "." on.
std::string kml_document_name(const std::string& path);

}  // namespace kestrun
