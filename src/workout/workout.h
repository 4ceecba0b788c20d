#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "workout/lap_record.h"
#include "workout/session_summary.h"
#include "workout/track_point.h"

namespace kestrun {

// A workout: the summary bytes and the ordered laps, as read from a file. The summary's
// lap_count is not kept in step with the list: readers fill the list from the count the file
// states, writers write the list's entries.
class Workout {
public:
    SessionSummary summary;

    // Frees the laps; the summary stays.
    void clear() { laps_.clear(); }
    void add_lap(const LapRecord& lap) { laps_.push_back(lap); }
    const LapRecord& lap(std::size_t i) const { return laps_[i]; }
    LapRecord& lap(std::size_t i) { return laps_[i]; }
    std::size_t lap_count_in_list() const { return laps_.size(); }
    const std::vector<LapRecord>& laps() const { return laps_; }
    void reserve_laps(std::size_t n) { laps_.reserve(n); }

private:
    std::vector<LapRecord> laps_;
};

// The ordered track points of a workout, in recording order.
class TrackLog {
public:
    void clear() { points_.clear(); }
    void add(const TrackPoint& point) { points_.push_back(point); }
    const TrackPoint& at(std::size_t i) const { return points_[i]; }
    TrackPoint& at(std::size_t i) { return points_[i]; }
    std::size_t size() const { return points_.size(); }
    bool empty() const { return points_.empty(); }
    const std::vector<TrackPoint>& points() const { return points_; }
    std::vector<TrackPoint>& points() { return points_; }
    void reserve(std::size_t n) { points_.reserve(n); }

private:
    std::vector<TrackPoint> points_;
};

using TrackFilter = std::function<bool(const TrackPoint&)>;

// Clears `destination`, then appends a copy of every point of `source` that passes `filter`
// (every point when no filter is given). The source stays as it is.
void copy_track(const TrackLog& source, TrackLog& destination, const TrackFilter& filter = {});

}  // namespace kestrun
