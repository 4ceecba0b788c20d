#pragma once

#include <cstdint>

namespace kestrun {

// The user's units and time zone, as the formatting routines read them.
struct UnitSystem {
    uint8_t distance_unit = 0;  // 0 km, 1 mile, 2 nautical mile
    uint8_t speed_unit = 0;     // 0 km/h, 1 mph, 2 knots
    uint8_t height_unit = 0;    // 0 metre, 1 foot
    int32_t time_zone_offset = 0;  // seconds east of UTC
};

}  // namespace kestrun
