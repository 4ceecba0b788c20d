#pragma once

#include <cstdint>

#include "workout/workout.h"
#include "workout/workout_file.h"

// The cleaning of a track as read: impossible time stamps dropped, points without a fix dropped
// when the user asks for it, stale points before the first good fix cut off, and leading points of
// a time-shifted file re-timed from the workout start. The raw track is never changed.
namespace kestrun {

struct TrackFilterSettings {
    bool skip_not_fixed = true;    // "SkipNotFixed": on unless the key holds 0
    int32_t time_zone_offset = 0;  // seconds east of UTC
};

// The standard filter: a point passes when its date-time is valid and, with `skip_not_fixed`,
// its point type is not 2 ("not fixed"). Use it with copy_track.
TrackFilter standard_filter(bool skip_not_fixed);

// A good fix: point type 0 and at least 3 satellites.
bool is_good_fix(const TrackPoint& point);

// Drops the points before the first good fix when that fix comes more than an hour after the
// point before it. A track that starts with a good fix is left alone.
void trim_stale_start(TrackLog& track);

// Copies `source` into `destination` (cleared first), stamping the leading points from the
// workout's start (converted to UTC) until the first point with a position. When both header
// times are valid the corrected start is also written into the workout's summary. 1 done; 0 when
// an argument is missing.
int retime_from_start(TrackLog* destination, const TrackLog* source, Workout* workout,
                      const HeaderTimeShift* time_shift, int32_t time_zone_offset);

// The tracks the workout browser keeps for an opened track log.
struct PreparedTracks {
    TrackLog cleaned;  // written back when the remark changes
    TrackLog working;
    TrackLog display;  // what the Google Earth export draws
};

void prepare_tracks(const TrackLog& raw, Workout& workout, const HeaderTimeShift& time_shift,
                    const TrackFilterSettings& settings, PreparedTracks& tracks);
// The display track alone, equal to prepare_tracks' display track, made from the raw track in
// place: for exports that need neither the raw track nor the other two.
TrackLog prepare_display_track(TrackLog raw, Workout& workout, const HeaderTimeShift& time_shift,
                               const TrackFilterSettings& settings);

}  // namespace kestrun
