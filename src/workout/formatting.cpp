#include "workout/formatting.h"

#include <cmath>
#include <cstdio>

#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/local_time.h"

namespace kestrun {
namespace {

// The mile factor of distances differs from the one of speeds; the speed table's fourth entry
// (metres per second) is selected by no setting.
constexpr double kDistanceFactors[] = {1.0, 0.621369949495, 0.54};
constexpr double kSpeedFactors[] = {1.0, 0.6214, 0.54, 0.2778};
constexpr double kHeightFactors[] = {1.0, 3.281};

// A unit setting outside its table reads as the metric unit.
template <std::size_t N>
double factor_of(const double (&table)[N], uint8_t unit) {
    return unit < N ? table[unit] : table[0];
}

std::string printf_text(const char* format, double value) {
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string label(bool in_parens, bool space_when_plain, const std::string& word) {
    if (in_parens)
        return " (" + word + ")";
    return space_when_plain ? " " + word : word;
}

std::string speed_word(const UnitSystem& units) {
    switch (units.speed_unit) {
        case 1:
            return "mph";
        case 2:
            return "kt";
        default:
            return "km/h";
    }
}

}  // namespace

double distance_factor(const UnitSystem& units) {
    return factor_of(kDistanceFactors, units.distance_unit);
}
double speed_factor(const UnitSystem& units) {
    return factor_of(kSpeedFactors, units.speed_unit);
}
double height_factor(const UnitSystem& units) {
    return factor_of(kHeightFactors, units.height_unit);
}

std::string format_distance_2(uint32_t distance, const UnitSystem& units) {
    return printf_text("%.2f", distance * 0.0001 * distance_factor(units));
}

std::string format_point_speed_2(uint16_t speed, const UnitSystem& units) {
    return printf_text("%.2f", speed * 0.01 * speed_factor(units));
}

std::string format_altitude(int16_t altitude, const UnitSystem& units) {
    return printf_text("%.0f", altitude * height_factor(units));
}

std::string format_pace(uint16_t speed, const UnitSystem& units) {
    double v = speed * 0.01 * speed_factor(units);
    double p = speed == 0 ? 0.0 : 60.0 / v;
    auto whole_minutes = static_cast<unsigned>(std::trunc(p));
    auto h = static_cast<unsigned>(std::trunc(p / 60.0));
    unsigned m = whole_minutes - h * 60;
    auto s = static_cast<unsigned>(std::trunc((p - std::trunc(p)) * 60.0));
    char buffer[48];
    if (h != 0) {
        std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u", h, m, s);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02u:%02u", whole_minutes, s);
    }
    return buffer;
}

std::string distance_unit_word(const UnitSystem& units) {
    switch (units.distance_unit) {
        case 1:
            return GetText(kStrMile);
        case 2:
            return "nm";
        default:
            return GetText(kStrKilometre);
    }
}

std::string distance_unit_label(bool in_parens, const UnitSystem& units) {
    return label(in_parens, false, distance_unit_word(units));
}

std::string speed_unit_label(bool in_parens, const UnitSystem& units) {
    return label(in_parens, true, speed_word(units));
}

std::string pace_unit_label(bool in_parens, const UnitSystem& units) {
    // Knots also read "min/mile": only km/h gives "min/km".
    std::string word =
        GetText(kStrMinute) + "/" + GetText(units.speed_unit == 0 ? kStrKilometre : kStrMile);
    return label(in_parens, true, word);
}

std::string altitude_unit_label(bool in_parens, const UnitSystem& units) {
    return label(in_parens, true, GetText(units.height_unit == 0 ? kStrMetre : kStrFoot));
}

std::string point_local_time(const TrackPoint& point, int32_t time_zone_offset) {
    auto local = point_local_datetime(point, time_zone_offset);
    if (!local)
        return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u", unsigned{local->hour},
                  unsigned{local->minute}, unsigned{local->second});
    return buffer;
}

std::string point_local_stamp(const TrackPoint& point, int32_t time_zone_offset) {
    auto local = point_local_datetime(point, time_zone_offset);
    if (!local)
        return {};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%u%02u%02u%02u%02u%02u", local->year + 2000u,
                  unsigned{local->month}, unsigned{local->day}, unsigned{local->hour},
                  unsigned{local->minute}, unsigned{local->second});
    return buffer;
}

}  // namespace kestrun
