#include "export/point_distance.h"

#include <algorithm>
#include <cmath>

namespace kestrun {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kEarthDiameterCm = 1274200064.0f;

// sin^2(theta / 2) as theta^2/4 - theta^4/48, theta from units of 1e-7 degree.
float half_angle_sine_squared(int64_t units) {
    auto theta = static_cast<float>(static_cast<double>(units) * 1e-7 * kPi / 180.0);
    float t2 = theta * theta;
    return t2 / 4.0f - t2 * t2 / 48.0f;
}

}  // namespace

int32_t point_distance_dm(int32_t lon1, int32_t lat1, int32_t lon2, int32_t lat2) {
    float cos1 = 1.0f - 2.0f * half_angle_sine_squared(lat1);
    float cos2 = 1.0f - 2.0f * half_angle_sine_squared(lat2);
    float h = half_angle_sine_squared(int64_t{lat2} - lat1) +
              half_angle_sine_squared(int64_t{lon2} - lon1) * cos1 * cos2;
    // The series leave [0, 1] only for distances far beyond neighbouring points.
    h = std::clamp(h, 0.0f, 1.0f);
    float centimetres = kEarthDiameterCm * std::asin(std::sqrt(h));
    return static_cast<int32_t>(centimetres / 10.0f);
}

}  // namespace kestrun
