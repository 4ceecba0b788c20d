#include "workout/local_time.h"

#include "workout/value_rules.h"

namespace kestrun {

StoredDateTime point_datetime(const TrackPoint& point) {
    return StoredDateTime{point.year(), point.month(),  point.day(),
                          point.hour(), point.minute(), point.second()};
}

std::optional<StoredDateTime> to_local_time(const StoredDateTime& utc, int32_t time_zone_offset) {
    return shift_datetime(utc, time_zone_offset);
}

std::optional<StoredDateTime> point_local_datetime(const TrackPoint& point,
                                                   int32_t time_zone_offset) {
    if (!has_valid_datetime(point))
        return std::nullopt;
    return to_local_time(point_datetime(point), time_zone_offset);
}

}  // namespace kestrun
