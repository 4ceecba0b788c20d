#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "workout/workout.h"

// What the program computes from the cumulative lap times: lap durations, the lap summary and
// the lap list, and the first and last usable points of a track. Lap times are 32-bit unsigned
// counts of hundredths of a second.
namespace kestrun {

struct SplitTime {
    uint8_t hours = 0;  // kept in 8 bits: 256 hours and more wrap
    uint32_t minutes = 0;
    uint32_t seconds = 0;
    uint32_t hundredths = 0;
};

// The cumulative time at the end of a lap.
uint32_t lap_cumulative(const LapRecord& lap);
// Lap i's own duration: its cumulative time minus the previous lap's (0 before the first).
uint32_t lap_duration(const Workout& workout, std::size_t index);
SplitTime split_hundredths(uint32_t hundredths);
// "mm:ss.hh", or "hh:mm:ss.hh" when there are hours.
std::string lap_time_text(uint32_t hundredths);

// The four values of the lap summary in the window's order: total time, number of laps, fast
// lap, average lap time. Every value is "---" when there is no workout, the list is empty or
// the summary's lap count is 0.
struct LapSummary {
    std::array<std::string, 4> values;
};
LapSummary lap_summary(const Workout* workout);
// The four row labels of the lap summary in the current language.
std::array<std::string, 4> lap_summary_labels();

struct LapRow {
    std::string number;
    std::string lap_time;
    std::string split_time;
};
std::vector<LapRow> lap_rows(const Workout& workout);

// Index of the first point with a position and point type 0; -1 when none or no track.
int64_t first_fixed_point(const TrackLog* track);
// Index of the last point with a position; -1 when none or no track.
int64_t last_positioned_point(const TrackLog* track);

}  // namespace kestrun
