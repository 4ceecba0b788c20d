#include "workout/track_filters.h"

#include <gtest/gtest.h>

#include "workout/local_time.h"
#include "workout/stored_datetime.h"

namespace kestrun {
namespace {

// A point `seconds` after 2011-02-07 08:00:00 UTC.
TrackPoint point_at(int64_t seconds, uint8_t type = 0, uint8_t satellites = 5,
                    bool positioned = true) {
    TrackPoint p;
    auto t = shift_datetime(StoredDateTime{11, 2, 7, 8, 0, 0}, seconds);
    p.set_datetime(t->year, t->month, t->day, t->hour, t->minute, t->second);
    p.set_point_type(type);
    p.set_satellites(satellites);
    p.set_longitude(positioned ? 100000000 : TrackPoint::kNoPosition);
    p.set_latitude(500000000);
    return p;
}

TEST(TrackFilters, StaleStartIsCutOnlyAfterMoreThanAnHour) {
    for (auto [gap, expected_size] : {std::pair{3601, 2u}, std::pair{3600, 5u}}) {
        TrackLog track;
        for (int i = 0; i < 3; ++i)
            track.add(point_at(i, 0, 2));  // too few satellites
        track.add(point_at(2 + gap));
        track.add(point_at(3 + gap));
        trim_stale_start(track);
        EXPECT_EQ(track.size(), expected_size) << gap;
        if (expected_size == 2u) {
            EXPECT_EQ(track.at(0), point_at(2 + gap));
        }
    }
}

TEST(TrackFilters, TrackStartingWithAGoodFixOrWithoutOneIsNotTrimmed) {
    TrackLog good;
    good.add(point_at(0));
    good.add(point_at(1, 2));
    good.add(point_at(9000));
    trim_stale_start(good);
    EXPECT_EQ(good.size(), 3u);

    TrackLog none;
    none.add(point_at(0, 2));
    none.add(point_at(9000, 0, 1));
    trim_stale_start(none);
    EXPECT_EQ(none.size(), 2u);

    TrackLog backwards;  // the fix is dated before the point preceding it
    backwards.add(point_at(9000, 2));
    backwards.add(point_at(0));
    trim_stale_start(backwards);
    EXPECT_EQ(backwards.size(), 2u);
}

TEST(TrackFilters, PreparedTracksDropInvalidDatesAndNotFixedByTheSetting) {
    TrackLog raw;
    raw.add(point_at(0));
    raw.add(point_at(1, 2));
    TrackPoint feb30 = point_at(2);
    feb30.set_datetime(11, 2, 30, 8, 0, 2);
    raw.add(feb30);
    raw.add(point_at(3));

    for (bool skip : {true, false}) {
        Workout workout;
        PreparedTracks tracks;
        prepare_tracks(raw, workout, HeaderTimeShift{}, TrackFilterSettings{skip, 0}, tracks);
        std::size_t expected = skip ? 2u : 3u;
        EXPECT_EQ(tracks.cleaned.size(), expected);
        EXPECT_EQ(tracks.working.size(), expected);
        EXPECT_EQ(tracks.display.size(), expected);
        EXPECT_EQ(tracks.display.at(0), raw.at(0));
    }
    EXPECT_EQ(raw.size(), 4u);  // the raw track stays as read
}

TEST(TrackFilters, DisplayTrackAloneEqualsThePreparedOne) {
    TrackLog raw;
    raw.add(point_at(0, 0, 5, false));
    raw.add(point_at(3, 2, 1));
    for (int i = 0; i < 3; ++i) raw.add(point_at(4000 + i, i == 1 ? 2 : 0));
    TrackPoint feb30 = point_at(5000);
    feb30.set_datetime(11, 2, 30, 8, 0, 2);
    raw.add(feb30);
    for (bool marked : {false, true}) {
        HeaderTimeShift shift;
        shift.marked = marked;
        Workout a;
        Workout b;
        a.summary.set_start(11, 2, 7, 10, 0, 0);
        b.summary = a.summary;
        PreparedTracks tracks;
        prepare_tracks(raw, a, shift, TrackFilterSettings{true, 3600}, tracks);
        TrackLog display = prepare_display_track(raw, b, shift, TrackFilterSettings{true, 3600});
        EXPECT_EQ(display.points(), tracks.display.points()) << marked;
        EXPECT_EQ(a.summary, b.summary);
    }
}

TEST(TrackFilters, MarkedFileRetimesLeadingPointsFromTheStart) {
    TrackLog raw;
    raw.add(point_at(0, 0, 5, false));
    raw.add(point_at(7, 0, 5, false));
    raw.add(point_at(20));
    raw.add(point_at(25, 0, 5, false));  // after the release: unchanged

    Workout workout;
    workout.summary.set_start(11, 2, 7, 10, 0, 0);  // local start
    HeaderTimeShift shift;
    shift.marked = true;
    PreparedTracks tracks;
    prepare_tracks(raw, workout, shift, TrackFilterSettings{true, 3600}, tracks);

    ASSERT_EQ(tracks.cleaned.size(), 4u);
    EXPECT_EQ(point_datetime(tracks.cleaned.at(0)), (StoredDateTime{11, 2, 7, 9, 0, 0}));
    EXPECT_EQ(point_datetime(tracks.cleaned.at(1)), (StoredDateTime{11, 2, 7, 9, 0, 7}));
    EXPECT_EQ(tracks.cleaned.at(2), raw.at(2));
    EXPECT_EQ(tracks.cleaned.at(3), raw.at(3));
}

TEST(TrackFilters, RetimeUsesTheCorrectedStartAndWritesItBack) {
    TrackLog raw;
    raw.add(point_at(0));
    raw.add(point_at(1, 0, 5, false));  // after a positioned first point nothing is re-timed
    Workout workout;
    workout.summary.set_start(11, 2, 7, 10, 0, 0);
    HeaderTimeShift shift;
    shift.marked = true;
    shift.reference_time = {11, 2, 7, 10, 0, 0};
    shift.corrected_time = {11, 2, 7, 10, 5, 30};
    shift.reference_valid = shift.corrected_valid = true;

    TrackLog out;
    EXPECT_EQ(retime_from_start(&out, &raw, &workout, &shift, 0), 1);
    EXPECT_EQ(point_datetime(out.at(0)), (StoredDateTime{11, 2, 7, 10, 5, 30}));
    EXPECT_EQ(out.at(1), raw.at(1));
    EXPECT_EQ(workout.summary.start_minute(), 5);
    EXPECT_EQ(workout.summary.start_second(), 30);

    EXPECT_EQ(retime_from_start(&out, nullptr, &workout, &shift, 0), 0);
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace kestrun
