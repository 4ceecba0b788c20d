#include "workout/track_filters.h"

#include "workout/local_time.h"
#include "workout/value_rules.h"

namespace kestrun {
namespace {

constexpr int64_t kStaleGapSeconds = 3600;

void set_point_datetime(TrackPoint& point, const StoredDateTime& t) {
    point.set_datetime(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

}  // namespace

TrackFilter standard_filter(bool skip_not_fixed) {
    return [skip_not_fixed](const TrackPoint& point) {
        if (!has_valid_datetime(point))
            return false;
        return !(skip_not_fixed && point.point_type() == 2);
    };
}

bool is_good_fix(const TrackPoint& point) {
    return point.point_type() == 0 && point.satellites() >= 3;
}

void trim_stale_start(TrackLog& track) {
    if (track.empty() || is_good_fix(track.at(0)))
        return;
    std::size_t k = 1;
    while (k < track.size() && !is_good_fix(track.at(k)))
        ++k;
    if (k >= track.size())
        return;
    const TrackPoint& before = track.at(k - 1);
    const TrackPoint& fix = track.at(k);
    // Only calendar times can be subtracted; the standard filter has normally dropped the others.
    if (!has_valid_datetime(before) || !has_valid_datetime(fix))
        return;
    int64_t gap =
        seconds_since_2000(point_datetime(fix)) - seconds_since_2000(point_datetime(before));
    if (gap > kStaleGapSeconds) {
        auto& points = track.points();
        points.erase(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(k));
    }
}

int retime_from_start(TrackLog* destination, const TrackLog* source, Workout* workout,
                      const HeaderTimeShift* time_shift, int32_t time_zone_offset) {
    if (destination)
        destination->clear();
    if (!destination || !source || !workout || !time_shift)
        return 0;

    StoredDateTime start = summary_start(workout->summary);
    if (time_shift->reference_valid && time_shift->corrected_valid) {
        start = effective_start_time(workout->summary, *time_shift);
        workout->summary.set_start(start.year, start.month, start.day, start.hour, start.minute,
                                   start.second);
    }
    auto utc_start = shift_datetime(start, -static_cast<int64_t>(time_zone_offset));

    destination->reserve(source->size());
    bool released = false;
    const TrackPoint* first = nullptr;
    for (const TrackPoint& point : source->points()) {
        TrackPoint copy = point;
        if (!released) {
            if (!first) {
                first = &point;
                if (utc_start)
                    set_point_datetime(copy, *utc_start);
                released = has_position(point);
            } else if (has_position(point)) {
                released = true;  // keeps its own time
            } else if (utc_start) {
                int64_t offset = 0;
                if (has_valid_datetime(point) && has_valid_datetime(*first)) {
                    offset = seconds_since_2000(point_datetime(point)) -
                             seconds_since_2000(point_datetime(*first));
                }
                if (auto t = shift_datetime(*utc_start, offset))
                    set_point_datetime(copy, *t);
            }
        }
        destination->add(copy);
    }
    return 1;
}

namespace {

// copy_track with the standard filter, without a call through a function object per point:
// tracks of a million points are common.
void copy_standard(const TrackLog& source, TrackLog& destination, bool skip_not_fixed) {
    destination.clear();
    destination.reserve(source.size());
    for (const TrackPoint& point : source.points()) {
        if (has_valid_datetime(point) && !(skip_not_fixed && point.point_type() == 2)) {
            destination.add(point);
        }
    }
}

}  // namespace

void prepare_tracks(const TrackLog& raw, Workout& workout, const HeaderTimeShift& time_shift,
                    const TrackFilterSettings& settings, PreparedTracks& tracks) {
    if (time_shift.marked) {
        retime_from_start(&tracks.cleaned, &raw, &workout, &time_shift, settings.time_zone_offset);
        copy_standard(tracks.cleaned, tracks.working, settings.skip_not_fixed);
    } else {
        copy_standard(raw, tracks.cleaned, settings.skip_not_fixed);
        trim_stale_start(tracks.cleaned);
        // Every point of the cleaned track has passed the filter already.
        tracks.working = tracks.cleaned;
    }
    // The display track is the working track filtered again, which changes nothing more.
    tracks.display = tracks.working;
}

TrackLog prepare_display_track(TrackLog raw, Workout& workout, const HeaderTimeShift& time_shift,
                               const TrackFilterSettings& settings) {
    if (time_shift.marked) {
        TrackLog retimed;
        retime_from_start(&retimed, &raw, &workout, &time_shift, settings.time_zone_offset);
        raw = std::move(retimed);
    }
    const bool skip = settings.skip_not_fixed;
    std::erase_if(raw.points(), [skip](const TrackPoint& point) {
        return !has_valid_datetime(point) || (skip && point.point_type() == 2);
    });
    if (!time_shift.marked)
        trim_stale_start(raw);
    return raw;
}

}  // namespace kestrun
