#include "workout/value_rules.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

TEST(ValueRules, HundredthsClampEachDigitToNine) {
    struct Case {
        uint8_t bcd;
        int decoded;
    } cases[] = {{0x00, 0}, {0x47, 47}, {0x9A, 99}, {0xFF, 99}, {0xA0, 90}, {0x09, 9}};
    for (auto c : cases)
        EXPECT_EQ(decode_hundredths(c.bcd), c.decoded) << int(c.bcd);
}

TEST(ValueRules, DatesFollowTheCalendar) {
    struct Case {
        int year, month, day, hour, minute, second;
        bool valid;
    } cases[] = {
        {0, 2, 29, 0, 0, 0, true},     // 2000 is a leap year
        {4, 2, 29, 0, 0, 0, true},     // 2004
        {100, 2, 29, 0, 0, 0, false},  // 2100 is not
        {11, 4, 31, 0, 0, 0, false},  {11, 13, 1, 0, 0, 0, false},
        {11, 0, 1, 0, 0, 0, false},   {11, 1, 0, 0, 0, 0, false},
        {11, 1, 1, 24, 0, 0, false},  {11, 1, 1, 23, 60, 60, true},
        {11, 1, 1, 23, 61, 0, false}, {255, 255, 255, 255, 255, 255, false},
    };
    for (auto c : cases) {
        EXPECT_EQ(is_valid_datetime(c.year, c.month, c.day, c.hour, c.minute, c.second), c.valid)
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute;
    }
}

TEST(ValueRules, HeartRateAndPosition) {
    EXPECT_FALSE(is_valid_heart_rate(29));
    EXPECT_TRUE(is_valid_heart_rate(30));
    EXPECT_TRUE(is_valid_heart_rate(250));
    EXPECT_FALSE(is_valid_heart_rate(251));
    TrackPoint point;
    point.set_longitude(TrackPoint::kNoPosition);
    EXPECT_FALSE(has_position(point));
    point.set_longitude(-1);
    EXPECT_TRUE(has_position(point));
}

TEST(ValueRules, LapCumulativeTime) {
    LapRecord lap;
    lap.set_split(1, 2, 3, 0x45);
    EXPECT_EQ(lap_cumulative_hundredths(lap), (3600 + 120 + 3) * 100 + 45);
}

}  // namespace
}  // namespace kestrun
