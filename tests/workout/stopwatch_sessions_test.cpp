#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "file_fixture.h"
#include "workout/track_log_file.h"
#include "workout/workout_name.h"

namespace kestrun {
namespace {

using namespace testing;

StopwatchSession session(uint8_t second, std::vector<uint32_t> laps) {
    StopwatchSession s;
    s.start = {11, 2, 7, 8, 25, second};
    s.laps = std::move(laps);
    return s;
}

TEST(WriteStopwatchSessions, WritesTheStopwatchLayout) {
    LibraryFixture library;
    std::vector<std::string> saved;
    ASSERT_EQ(write_stopwatch_sessions({session(50, {0x01020345, 0x00000099})}, saved), 0);
    std::string path = library.workout_folder() + "/2011/02/20110207082550.tkl";
    ASSERT_EQ(saved, std::vector<std::string>{path});

    FileBytes expected;
    expected.header("<< Watch Track Log File v2.3U");
    const uint8_t invalid[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    expected.shift(std::string_view("PAT\0", 4), invalid, invalid);
    expected.name_block(144, 128, "1.00", {}).count_block(0, 2);
    SessionSummary summary;
    summary.set_start(11, 2, 7, 8, 25, 50);
    summary.set_lap_count(2);
    LapRecord first;
    first.set_split(1, 2, 3,
                    0x45);  // hours, minutes, seconds decoded from BCD; hundredths kept BCD
    LapRecord second;
    second.set_split(0, 0, 0, 0x99);
    expected.summary(summary).lap(first).lap(second);
    auto actual = read_bytes(path);
    EXPECT_EQ(actual, expected.bytes()) << hex_diff(expected.bytes(), actual);
    EXPECT_EQ(is_lap_marked_file(path), 0);
}

TEST(WriteStopwatchSessions, ThreeHundredLapsSurviveTheEightBitCount) {
    LibraryFixture library;
    std::vector<uint32_t> laps(300, 0x00010000);
    std::vector<std::string> saved;
    ASSERT_EQ(write_stopwatch_sessions({session(1, laps)}, saved), 0);
    auto bytes = read_bytes(saved.at(0));
    EXPECT_EQ(bytes[48 + 144 + 8], 300 & 0xFF);
    EXPECT_EQ(bytes[48 + 144 + 9], 300 >> 8);
    EXPECT_EQ(bytes[48 + 144 + 16 + 2], 44);  // summary lap_count = 300 mod 256

    TrackLog points;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(saved[0], &points, &workout, &shift, &name), 0);
    EXPECT_EQ(workout.lap_count_in_list(), 300u);
    EXPECT_TRUE(shift.marked);
    EXPECT_FALSE(shift.reference_valid);
    EXPECT_EQ(effective_start_time(workout.summary, shift), (StoredDateTime{11, 2, 7, 8, 25, 1}));
}

TEST(WriteStopwatchSessions, SameSecondTwiceListsBothAndKeepsTheLast) {
    LibraryFixture library;
    std::vector<std::string> saved;
    ASSERT_EQ(write_stopwatch_sessions(
                  {session(5, {0x00000010}), session(5, {0x00000020, 0x00000030})}, saved),
              0);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0], saved[1]);
    TrackLog points;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(saved[1], &points, &workout, &shift, &name), 0);
    EXPECT_EQ(workout.lap_count_in_list(), 2u);
}

TEST(WriteStopwatchSessions, DownloadingAgainKeepsTheRemarkAndLeavesEqualFilesAlone) {
    LibraryFixture library;
    std::vector<std::string> saved;
    ASSERT_EQ(write_stopwatch_sessions({session(5, {0x00000010})}, saved), 0);
    ASSERT_EQ(change_workout_name(saved[0], "Track intervals"), 0);
    auto renamed = read_bytes(saved[0]);
    struct stat before {};
    ::stat(saved[0].c_str(), &before);

    // The same session: the file is not touched at all.
    ASSERT_EQ(write_stopwatch_sessions({session(5, {0x00000010})}, saved), 0);
    struct stat after {};
    ::stat(saved[0].c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(read_bytes(saved[0]), renamed);

    // Different laps in the same second: rewritten, with the user's name kept.
    ASSERT_EQ(write_stopwatch_sessions({session(5, {0x00000010, 0x00000020})}, saved), 0);
    TrackLog points;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(saved[0], &points, &workout, &shift, &name), 0);
    EXPECT_EQ(name, "Track intervals");
    EXPECT_EQ(workout.lap_count_in_list(), 2u);
}

TEST(WriteStopwatchSessions, ListsOnlyWrittenFilesAndReportsTheFailure) {
    LibraryFixture library;
    // A folder where the second session's file would go: it cannot be written.
    std::filesystem::create_directories(library.workout_folder() + "/2011/02/20110207082502.tkl");
    std::vector<std::string> saved;
    EXPECT_EQ(write_stopwatch_sessions({session(1, {}), session(2, {}), session(3, {})}, saved),
              kWriteFailed);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_NE(saved[0].find("20110207082501.tkl"), std::string::npos);
    EXPECT_NE(saved[1].find("20110207082503.tkl"), std::string::npos);
    for (const auto& path : saved)
        EXPECT_TRUE(file_exists(path));
}

TEST(WriteStopwatchSessions, StopsWhenTheFoldersAreMissing) {
    LibraryFixture library;
    std::vector<std::string> saved{"stale"};
    EXPECT_EQ(write_stopwatch_sessions({}, saved), 0);
    EXPECT_TRUE(saved.empty());

    write_bytes(library.workout_folder() + "/2011", {1});
    EXPECT_EQ(write_stopwatch_sessions({session(1, {})}, saved), kWriteNoSubfolder);
    library_state().set_current_activity("Nowhere");
    EXPECT_EQ(write_stopwatch_sessions({session(1, {})}, saved), kWriteNoFolder);
    EXPECT_TRUE(saved.empty());
}

}  // namespace
}  // namespace kestrun
