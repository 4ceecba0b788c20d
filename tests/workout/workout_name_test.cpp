#include <gtest/gtest.h>

#include "file_fixture.h"
#include "workout/session_file.h"
#include "workout/track_log_file.h"
#include "workout/workout_name.h"

namespace kestrun {
namespace {

using namespace testing;

// Changing the name changes the name block and nothing else.
TEST(ChangeWorkoutName, CurrentFormatsChangeOnlyTheNameBytes) {
    TempDir dir;
    const uint8_t invalid[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    auto stopwatch = FileBytes()
                         .header("<< Watch Track Log File v2.3U")
                         .shift(std::string_view("PAT\0", 4), invalid, invalid)
                         .name_block(144, 128, "1.00", {})
                         .count_block(0, 300)
                         .summary(sample_summary(44));
    for (int i = 0; i < 300; ++i)
        stopwatch.lap(sample_lap(i));
    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"stopwatch.tkl", stopwatch.bytes()},
        {"track.tkl", FileBytes()
                          .header("<< Watch Track Log File v3.0U", "\x0A\x1A\xAA\x55\x01\x01")
                          .name_block(144, 128, "", utf16le(u"old"))
                          .count_block(1)
                          .point(sample_point(0))
                          .bytes()},
        {"laps.ss", FileBytes()
                        .header("<< Watch Lap File v2.0U")
                        .name_block(144, 128, "", utf16le(u"old"))
                        .summary(sample_summary(1))
                        .lap(sample_lap(0))
                        .bytes()},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = dir.file(c.file);
        write_bytes(path, c.bytes);
        ASSERT_EQ(change_workout_name(path, "Intervals \xE2\x82\xAC"), 0);
        auto expected = c.bytes;
        std::fill(expected.begin() + 64, expected.begin() + 192, 0);
        auto name = utf16le(u"Intervals \u20AC");
        std::copy(name.begin(), name.end(), expected.begin() + 64);
        auto actual = read_bytes(path);
        EXPECT_EQ(actual, expected) << hex_diff(expected, actual);
    }
}

TEST(ChangeWorkoutName, OlderTrackLogsBecomeTheCurrentFormatInPlace) {
    TempDir dir;
    // v2.1 with a summary becomes v2.3U with firmware 0.00; v2.0 without one becomes v3.0U.
    std::string with_summary = dir.file("20110207082550.tkl");
    write_bytes(with_summary, FileBytes()
                                  .header("<< Watch Track Log File v2.1", kOldTrailer)
                                  .name_block(80, 64, "", latin("alt"))
                                  .count_block(1)
                                  .summary(sample_summary(1))
                                  .lap(sample_lap(0))
                                  .point(sample_point(0))
                                  .bytes());
    ASSERT_EQ(change_workout_name(with_summary, "neu"), 0);
    auto expected = FileBytes()
                        .header("<< Watch Track Log File v2.3U", kOldTrailer)
                        .name_block(144, 128, "0.00", utf16le(u"neu"))
                        .count_block(1)
                        .summary(sample_summary(1))
                        .lap(sample_lap(0))
                        .point(sample_point(0))
                        .bytes();
    auto actual = read_bytes(with_summary);
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);

    std::string track_only = dir.file("t.tkl");
    write_bytes(track_only, FileBytes()
                                .header("<< Watch Track Log File v2.0", kOldTrailer)
                                .name_block(80, 64, "", latin("alt"))
                                .count_block(2)
                                .point(sample_point(0))
                                .point(sample_point(1))
                                .bytes());
    ASSERT_EQ(change_workout_name(track_only, "neu"), 0);
    expected = FileBytes()
                   .header("<< Watch Track Log File v3.0U", "\x0A\x1A\xAA\x55\x01\x01")
                   .name_block(144, 128, "", utf16le(u"neu"))
                   .count_block(2)
                   .point(sample_point(0))
                   .point(sample_point(1))
                   .bytes();
    actual = read_bytes(track_only);
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);
}

TEST(ChangeWorkoutName, OldLapFileBecomesVersion20) {
    TempDir dir;
    std::string path = dir.file("a.ss");
    write_bytes(path, FileBytes()
                          .header("<< Watch Lap File v1.0", kOldTrailer)
                          .name_block(80, 64, "", latin("Caf\xE9"))
                          .summary(sample_summary(1))
                          .lap(sample_lap(0))
                          .bytes());
    Workout before;
    std::string name;
    ASSERT_EQ(read_session_file(path, &before, &name), 0);
    EXPECT_EQ(name, "Caf\xC3\xA9");
    ASSERT_EQ(change_workout_name(path, name), 0);
    auto expected = FileBytes()
                        .header("<< Watch Lap File v2.0U")
                        .name_block(144, 128, "", utf16le(u"Caf\u00E9"))
                        .summary(sample_summary(1))
                        .lap(sample_lap(0))
                        .bytes();
    auto actual = read_bytes(path);
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);
}

TEST(ChangeWorkoutName, NamesAreCutAtSixtyFourCharacters) {
    TempDir dir;
    std::string path = dir.file("a.tkl");
    write_bytes(path, FileBytes()
                          .header("<< Watch Track Log File v3.0U")
                          .name_block(144, 128, "", {})
                          .count_block(0)
                          .bytes());
    ASSERT_EQ(change_workout_name(path, std::string(70, 'y')), 0);
    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(path, &track, &workout, &shift, &name), 0);
    EXPECT_EQ(name, std::string(64, 'y'));
}

TEST(ChangeWorkoutName, Refusals) {
    TempDir dir;
    EXPECT_EQ(change_workout_name("", "x"), -1);
    EXPECT_EQ(change_workout_name(dir.file("a.txt"), "x"), -1);
    EXPECT_EQ(change_workout_name(dir.file("missing.tkl"), "x"), -2);
    // A cut old file is left alone rather than rewritten without its missing records.
    std::string cut = dir.file("cut.tkl");
    auto bytes = FileBytes()
                     .header("<< Watch Track Log File v2.0", kOldTrailer)
                     .name_block(80, 64, "", {})
                     .count_block(2)
                     .point(sample_point(0))
                     .bytes();
    write_bytes(cut, bytes);
    EXPECT_EQ(change_workout_name(cut, "x"), -2);
    EXPECT_EQ(read_bytes(cut), bytes);
}

}  // namespace
}  // namespace kestrun
