#pragma once

#include <cstdint>
#include <string>

#include "settings/unit_system.h"
#include "workout/track_point.h"

// The figures of a track point as text in the user's units. Each routine takes the raw value in
// the unit of its record (distances 0.1 m, point speeds 0.01 km/h, altitudes m) and prints the
// number only; the unit labels are separate.
namespace kestrun {

// Conversion factors from the metric value, indexed by the unit setting.
double distance_factor(const UnitSystem& units);
double speed_factor(const UnitSystem& units);
double height_factor(const UnitSystem& units);

std::string format_distance_2(uint32_t distance, const UnitSystem& units);  // "%.2f"
std::string format_point_speed_2(uint16_t speed, const UnitSystem& units);  // "%.2f"
std::string format_altitude(int16_t altitude, const UnitSystem& units);     // "%.0f"
// Minutes per distance unit, truncated: "mm:ss", or "hh:mm:ss" from one hour on; 00:00 at rest.
std::string format_pace(uint16_t speed, const UnitSystem& units);

// Labels with their leading separator: " (km)" in parentheses; plain "km" for distances and
// " km/h", " min/km", " m" for the others.
std::string distance_unit_label(bool in_parens, const UnitSystem& units);
std::string speed_unit_label(bool in_parens, const UnitSystem& units);
std::string pace_unit_label(bool in_parens, const UnitSystem& units);
std::string altitude_unit_label(bool in_parens, const UnitSystem& units);
// The bare distance word: "km", "mile" or "nm".
std::string distance_unit_word(const UnitSystem& units);

// "hh:mm:ss" of the point's local time; empty when its date-time is not valid.
std::string point_local_time(const TrackPoint& point, int32_t time_zone_offset);
// "YYYYMMDDhhmmss" of the point's local time (the file-name form); empty when not valid.
std::string point_local_stamp(const TrackPoint& point, int32_t time_zone_offset);

}  // namespace kestrun
