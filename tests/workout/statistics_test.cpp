#include "workout/statistics.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

LapRecord split_lap(uint32_t hundredths) {
    uint32_t seconds = hundredths / 100;
    uint8_t cs = static_cast<uint8_t>(hundredths % 100);
    LapRecord lap;
    lap.set_split(static_cast<uint8_t>(seconds / 3600), static_cast<uint8_t>(seconds / 60 % 60),
                  static_cast<uint8_t>(seconds % 60),
                  static_cast<uint8_t>((cs / 10) << 4 | cs % 10));
    return lap;
}

// A workout whose laps last the given durations (hundredths), with a matching stored count.
Workout workout_of(std::initializer_list<uint32_t> durations) {
    Workout w;
    uint32_t total = 0;
    for (uint32_t d : durations)
        w.add_lap(split_lap(total += d));
    w.summary.set_lap_count(static_cast<uint8_t>(durations.size()));
    return w;
}

TEST(Statistics, SplitAndLapTimeTexts) {
    EXPECT_EQ(lap_time_text(372345), "01:02:03.45");
    EXPECT_EQ(lap_time_text(359999), "59:59.99");
    EXPECT_EQ(lap_time_text(0), "00:00.00");
    SplitTime wrapped = split_hundredths(256u * 360000u + 6100u);  // 256 h 1 min 1 s
    EXPECT_EQ(wrapped.hours, 0);
    EXPECT_EQ(wrapped.minutes, 256u * 60u + 1u);
    EXPECT_EQ(wrapped.seconds, 1u);
}

TEST(Statistics, SummaryOfEqualLapsTakesTheLaterFastest) {
    Workout w = workout_of({6000, 5950, 5950});
    LapSummary s = lap_summary(&w);
    EXPECT_EQ(s.values[0], "02:59.00");
    EXPECT_EQ(s.values[1], "3");
    EXPECT_EQ(s.values[2], "Lap 3 ( 00:59.50 )");
    EXPECT_EQ(s.values[3], "00:59.66");  // 17900 / 3 = 5966.67, truncated
}

TEST(Statistics, AverageIsTruncatedAndLongFastLapShowsHours) {
    Workout w = workout_of({6001, 6001, 6002});
    EXPECT_EQ(lap_summary(&w).values[3], "01:00.01");

    Workout hour = workout_of({360000, 360100});
    EXPECT_EQ(lap_summary(&hour).values[2], "Lap 1 ( 01:00:00.00 )");
}

TEST(Statistics, ManyLapsCountTheListAndAStoredZeroShowsNothing) {
    Workout w300;
    for (uint32_t i = 1; i <= 300; ++i)
        w300.add_lap(split_lap(i * 1000));
    w300.summary.set_lap_count(44);  // 300 mod 256
    EXPECT_EQ(lap_summary(&w300).values[1], "300");
    EXPECT_EQ(lap_rows(w300).size(), 300u);

    Workout w256;
    for (uint32_t i = 1; i <= 256; ++i)
        w256.add_lap(split_lap(i * 1000));
    w256.summary.set_lap_count(0);
    for (const std::string& v : lap_summary(&w256).values)
        EXPECT_EQ(v, "---");
    EXPECT_EQ(lap_rows(w256).size(), 256u);

    Workout empty;
    for (const std::string& v : lap_summary(&empty).values)
        EXPECT_EQ(v, "---");
    for (const std::string& v : lap_summary(nullptr).values)
        EXPECT_EQ(v, "---");
    EXPECT_TRUE(lap_rows(empty).empty());
}

TEST(Statistics, LapRowsShowDurationAndSplit) {
    Workout w;
    w.add_lap(split_lap(31234));
    LapRecord second;
    second.set_split(1, 2, 3, 0x9A);  // hundredths digit clamped: 99
    w.add_lap(second);
    auto rows = lap_rows(w);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[0].lap_time, "05:12.34");
    EXPECT_EQ(rows[0].split_time, "05:12.34");
    EXPECT_EQ(rows[1].split_time, "01:02:03.99");
    EXPECT_EQ(rows[1].lap_time, lap_time_text(372399 - 31234));
}

TEST(Statistics, FirstFixedAndLastPositionedPoints) {
    TrackLog track;
    EXPECT_EQ(first_fixed_point(nullptr), -1);
    EXPECT_EQ(last_positioned_point(&track), -1);
    TrackPoint no_position;
    no_position.set_longitude(TrackPoint::kNoPosition);
    TrackPoint not_fixed;
    not_fixed.set_point_type(2);
    TrackPoint fixed;
    fixed.bytes[0] = 0x30;  // high nibble is not interpreted: type 0
    track.add(no_position);
    track.add(not_fixed);
    track.add(fixed);
    track.add(no_position);
    EXPECT_EQ(first_fixed_point(&track), 2);
    EXPECT_EQ(last_positioned_point(&track), 2);
}

}  // namespace
}  // namespace kestrun
