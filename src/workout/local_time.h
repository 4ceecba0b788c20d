#pragma once

#include <cstdint>
#include <optional>

#include "workout/stored_datetime.h"
#include "workout/track_point.h"

// Track points hold UTC; the texts and names made from them use the local time: the stored
// date-time plus the time-zone offset of the settings, as a calendar date-time.
namespace kestrun {

StoredDateTime point_datetime(const TrackPoint& point);
// Empty when the point's date-time is not valid or the shift leaves the years the records hold.
std::optional<StoredDateTime> point_local_datetime(const TrackPoint& point,
                                                   int32_t time_zone_offset);
// A stored date-time moved to local time (or back, with a negated offset).
std::optional<StoredDateTime> to_local_time(const StoredDateTime& utc, int32_t time_zone_offset);

}  // namespace kestrun
