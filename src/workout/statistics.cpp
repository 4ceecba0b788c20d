#include "workout/statistics.h"

#include <cstdio>

#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/value_rules.h"

namespace kestrun {

uint32_t lap_cumulative(const LapRecord& lap) {
    return static_cast<uint32_t>(lap_cumulative_hundredths(lap));
}

uint32_t lap_duration(const Workout& workout, std::size_t index) {
    uint32_t previous = index == 0 ? 0 : lap_cumulative(workout.lap(index - 1));
    return lap_cumulative(workout.lap(index)) - previous;
}

SplitTime split_hundredths(uint32_t hundredths) {
    SplitTime split;
    split.hundredths = hundredths % 100;
    uint32_t total_seconds = hundredths / 100;
    split.hours = static_cast<uint8_t>(total_seconds / 3600);
    uint32_t rest = total_seconds - split.hours * 3600u;
    split.minutes = rest / 60;
    split.seconds = rest - split.minutes * 60;
    return split;
}

std::string lap_time_text(uint32_t hundredths) {
    SplitTime s = split_hundredths(hundredths);
    char buffer[64];
    if (s.hours == 0) {
        std::snprintf(buffer, sizeof buffer, "%02u:%02u.%02u", s.minutes, s.seconds, s.hundredths);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u.%02u", unsigned{s.hours}, s.minutes,
                      s.seconds, s.hundredths);
    }
    return buffer;
}

std::array<std::string, 4> lap_summary_labels() {
    return {GetText(kStrTotalTime), GetText(kStrNumberOfLaps), GetText(kStrFastLap),
            GetText(kStrAverageLapTime)};
}

LapSummary lap_summary(const Workout* workout) {
    LapSummary summary;
    summary.values.fill("---");
    // The stored 8-bit count reads 0 for exactly 256 laps; the summary then stays empty.
    if (!workout || workout->summary.lap_count() == 0 || workout->lap_count_in_list() == 0) {
        return summary;
    }
    const std::size_t n = workout->lap_count_in_list();
    summary.values[0] = lap_time_text(lap_cumulative(workout->lap(n - 1)));
    summary.values[1] = std::to_string(n);

    std::size_t fastest = 0;
    uint32_t fastest_duration = lap_duration(*workout, 0);
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) {
        uint32_t d = lap_duration(*workout, i);
        total += d;
        // Of equal durations the later lap wins.
        if (i > 0 && d <= fastest_duration) {
            fastest = i;
            fastest_duration = d;
        }
    }
    SplitTime f = split_hundredths(fastest_duration);
    std::string word = GetText(kStrLap);
    char buffer[160];
    if (f.hours == 0) {
        std::snprintf(buffer, sizeof buffer, "%s %d ( %02u:%02u.%02u )", word.c_str(),
                      static_cast<int>(fastest + 1), f.minutes, f.seconds, f.hundredths);
    } else {
        std::snprintf(buffer, sizeof buffer, "%s %d ( %02u:%02u:%02u.%02u )", word.c_str(),
                      static_cast<int>(fastest + 1), unsigned{f.hours}, f.minutes, f.seconds,
                      f.hundredths);
    }
    summary.values[2] = buffer;
    summary.values[3] = lap_time_text(static_cast<uint32_t>(total / static_cast<double>(n)));
    return summary;
}

std::vector<LapRow> lap_rows(const Workout& workout) {
    std::vector<LapRow> rows;
    rows.reserve(workout.lap_count_in_list());
    for (std::size_t i = 0; i < workout.lap_count_in_list(); ++i) {
        rows.push_back(LapRow{std::to_string(i + 1), lap_time_text(lap_duration(workout, i)),
                              lap_time_text(lap_cumulative(workout.lap(i)))});
    }
    return rows;
}

int64_t first_fixed_point(const TrackLog* track) {
    if (!track)
        return -1;
    for (std::size_t i = 0; i < track->size(); ++i) {
        const TrackPoint& p = track->at(i);
        if (has_position(p) && p.point_type() == 0)
            return static_cast<int64_t>(i);
    }
    return -1;
}

int64_t last_positioned_point(const TrackLog* track) {
    if (!track)
        return -1;
    for (std::size_t i = track->size(); i-- > 0;) {
        if (has_position(track->at(i)))
            return static_cast<int64_t>(i);
    }
    return -1;
}

}  // namespace kestrun
