#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/kml_writer.h"
#include "workout/workout.h"

// Small tracks for the KML tests, and the written document cut into lines.
namespace kestrun::kml_testing {

// A fixed point with 5 satellites at 2011-02-07 08:00:00 UTC plus `seconds` (under an hour).
inline TrackPoint point(int32_t lon, int32_t lat, int seconds = 0) {
    TrackPoint p;
    p.set_point_type(0);
    p.set_satellites(5);
    p.set_datetime(11, 2, 7, 8, static_cast<uint8_t>(seconds / 60),
                   static_cast<uint8_t>(seconds % 60));
    p.set_longitude(lon);
    p.set_latitude(lat);
    p.set_altitude(120);
    p.set_speed(1200);
    p.set_step_distance(100);
    return p;
}

inline TrackPoint no_position(int seconds = 0) {
    TrackPoint p = point(0, 0, seconds);
    p.set_longitude(TrackPoint::kNoPosition);
    return p;
}

inline TrackLog track_of(std::vector<TrackPoint> points) {
    TrackLog track;
    for (const TrackPoint& p : points)
        track.add(p);
    return track;
}

// The lines of a written file, split at CR LF.
std::vector<std::string> read_lines(const std::string& path);

}  // namespace kestrun::kml_testing
