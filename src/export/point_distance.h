#pragma once

#include <cstdint>

namespace kestrun {

// Distance between two positions (degrees x 10,000,000) in tenths of a metre, by the haversine
// formula with two-term series, in single precision: accurate for neighbouring track points.
int32_t point_distance_dm(int32_t lon1, int32_t lat1, int32_t lon2, int32_t lat2);

}  // namespace kestrun
