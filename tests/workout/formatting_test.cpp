#include "workout/formatting.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

UnitSystem units(uint8_t distance, uint8_t speed, uint8_t height, int32_t zone = 0) {
    UnitSystem u;
    u.distance_unit = distance;
    u.speed_unit = speed;
    u.height_unit = height;
    u.time_zone_offset = zone;
    return u;
}

TEST(Formatting, PaceTruncatesAndSwitchesToHoursFromOneHour) {
    struct Case {
        uint16_t speed;
        uint8_t speed_unit;
        const char* pace;
    } cases[] = {
        {0, 0, "00:00"},       // at rest: no division by zero
        {1200, 0, "05:00"},    // 12 km/h
        {50, 0, "02:00:00"},   // 0.5 km/h: two hours per km
        {100, 0, "01:00:00"},  // exactly one hour takes the hours form
        {1000, 1, "09:39"},    // 6.214 mph: 9.6556 min, seconds truncated
        {1000, 2, "11:06"},    // 5.4 kt: 11.111 min per nautical mile
        {1, 0, "100:00:00"},
    };
    for (auto c : cases) {
        EXPECT_EQ(format_pace(c.speed, units(0, c.speed_unit, 0)), c.pace) << c.speed;
    }
}

TEST(Formatting, FiguresInEveryUnit) {
    EXPECT_EQ(format_point_speed_2(1000, units(0, 1, 0)), "6.21");
    EXPECT_EQ(format_point_speed_2(1000, units(0, 0, 0)), "10.00");
    EXPECT_EQ(format_distance_2(12345678, units(0, 0, 0)), "1234.57");
    EXPECT_EQ(format_distance_2(12345678, units(1, 1, 1)), "767.12");
    EXPECT_EQ(format_distance_2(10000, units(2, 2, 0)), "0.54");
    EXPECT_EQ(format_altitude(-12, units(0, 0, 1)), "-39");
    EXPECT_EQ(format_altitude(-12, units(0, 0, 0)), "-12");
    // A unit setting outside the tables reads as the metric unit.
    EXPECT_EQ(format_distance_2(10000, units(7, 0, 0)), "1.00");
}

TEST(Formatting, UnitLabels) {
    EXPECT_EQ(distance_unit_label(true, units(0, 0, 0)), " (km)");
    EXPECT_EQ(distance_unit_label(false, units(1, 1, 1)), "mile");
    EXPECT_EQ(distance_unit_label(false, units(2, 2, 1)), "nm");
    EXPECT_EQ(speed_unit_label(true, units(0, 2, 0)), " (kt)");
    EXPECT_EQ(speed_unit_label(false, units(0, 1, 0)), " mph");
    EXPECT_EQ(pace_unit_label(true, units(0, 0, 0)), " (min/km)");
    EXPECT_EQ(pace_unit_label(false, units(0, 2, 0)), " min/mile");  // knots read per mile too
    EXPECT_EQ(altitude_unit_label(true, units(0, 0, 1)), " (ft)");
    EXPECT_EQ(altitude_unit_label(false, units(0, 0, 0)), " m");
}

TEST(Formatting, LocalTimeCrossesDayMonthAndYear) {
    TrackPoint p;
    p.set_datetime(10, 12, 31, 23, 30, 0);
    EXPECT_EQ(point_local_time(p, 3600), "00:30:00");
    EXPECT_EQ(point_local_stamp(p, 3600), "20110101003000");
    EXPECT_EQ(point_local_stamp(p, 0), "20101231233000");

    TrackPoint q;
    q.set_datetime(11, 3, 1, 0, 10, 0);
    EXPECT_EQ(point_local_stamp(q, -3600), "20110228231000");

    TrackPoint invalid;
    invalid.set_datetime(11, 2, 30, 12, 0, 0);
    EXPECT_EQ(point_local_time(invalid, 0), "");
    EXPECT_EQ(point_local_stamp(invalid, 0), "");
}

}  // namespace
}  // namespace kestrun
