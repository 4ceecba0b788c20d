#include <gtest/gtest.h>

#include <filesystem>

#include "file_fixture.h"
#include "workout/track_log_file.h"

namespace kestrun {
namespace {

using namespace testing;

TEST(WriteTrackLog, WritesVersion23ByteForByte) {
    LibraryFixture library;
    Workout workout;
    workout.summary = sample_summary(2);
    workout.add_lap(sample_lap(1));
    workout.add_lap(sample_lap(2));
    TrackLog track;
    track.add(sample_point(1));
    track.add(sample_point(2));

    std::string file_name;
    ASSERT_EQ(write_track_log(workout, track,
                              "Lauf \xC3\xBC"
                              "ber",
                              1.0, file_name),
              0);
    EXPECT_EQ(file_name, "20110207082550.tkl");

    auto expected = FileBytes()
                        .header("<< Watch Track Log File v2.3U", kOldTrailer)
                        .name_block(144, 128, "1.00", utf16le(u"Lauf \u00FCber"))
                        .count_block(2)
                        .summary(workout.summary)
                        .lap(workout.lap(0))
                        .lap(workout.lap(1))
                        .point(track.at(0))
                        .point(track.at(1))
                        .bytes();
    auto actual = read_bytes(library.workout_folder() + "/2011/02/20110207082550.tkl");
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);
}

TEST(WriteTrackLog, RefusesWithoutFolderOrPoints) {
    LibraryFixture library;
    Workout workout;
    workout.summary = sample_summary(0);
    TrackLog empty;
    std::string file_name;
    EXPECT_EQ(write_track_log(workout, empty, "x", 0, file_name), kWriteEmptyTrack);

    TrackLog track;
    track.add(sample_point(0));
    // A file where the year folder should be.
    write_bytes(library.workout_folder() + "/2011", {1});
    EXPECT_EQ(write_track_log(workout, track, "x", 0, file_name), kWriteNoSubfolder);

    library_state().set_current_activity("Missing");
    EXPECT_EQ(write_track_log(workout, track, "x", 0, file_name), kWriteNoFolder);
}

TEST(WriteTrackLog, MoreLapsThanTheSummaryCountReadBackWhole) {
    LibraryFixture library;
    Workout workout;
    workout.summary = sample_summary(44);
    for (int i = 0; i < 300; ++i)
        workout.add_lap(sample_lap(i));
    TrackLog track;
    track.add(sample_point(0));
    std::string file_name;
    ASSERT_EQ(write_track_log(workout, track, "", 0, file_name), 0);

    Workout back;
    TrackLog points;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(library.workout_folder() + "/2011/02/" + file_name, &points, &back,
                             &shift, &name),
              0);
    EXPECT_EQ(back.lap_count_in_list(), 300u);
    EXPECT_EQ(points.size(), 1u);
}

TEST(WriteTrackOnlyLog, WritesVersion30NamedAfterLocalTime) {
    LibraryFixture library;
    TrackLog track;
    TrackPoint first = sample_point(0);
    first.set_datetime(10, 12, 31, 23, 59, 59);  // 31 December 2010, 23:59:59 UTC
    track.add(first);
    std::string file_name;
    ASSERT_EQ(write_track_only_log(track, "Neujahr", 3600, &file_name), 0);
    EXPECT_EQ(file_name, "20110101005959.tkl");

    auto expected =
        FileBytes()
            .header("<< Watch Track Log File v3.0U", std::string("\x0A\x1A\xAA\x55\x01\x01", 6))
            .name_block(144, 128, "", utf16le(u"Neujahr"))
            .count_block(1)
            .point(first)
            .bytes();
    auto actual = read_bytes(library.workout_folder() + "/2011/01/20110101005959.tkl");
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);
}

TEST(WriteTrackOnlyLog, InvalidFirstTimeNamesTheFileByItsStoredFields) {
    LibraryFixture library;
    TrackLog track;
    TrackPoint first = sample_point(0);
    first.set_datetime(11, 2, 30, 8, 0, 0);  // 30 February does not exist
    track.add(first);
    std::string file_name;
    ASSERT_EQ(write_track_only_log(track, "", 3600, &file_name), 0);
    EXPECT_EQ(file_name, "20110230080000.tkl");
}

}  // namespace
}  // namespace kestrun
