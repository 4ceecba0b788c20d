#include <gtest/gtest.h>

#include "file_fixture.h"
#include "workout/session_file.h"

namespace kestrun {
namespace {

using namespace testing;

TEST(ReadSessionFile, ReadsAllThreeVersions) {
    TempDir dir;
    struct Case {
        const char* label;
        std::vector<uint8_t> bytes;
        std::string name;
    } cases[] = {
        {"summary", FileBytes().header("<< Watch Session Summary v1.0", kOldTrailer).bytes(), ""},
        {"lap1",
         FileBytes()
             .header("<< Watch Lap File v1.0", kOldTrailer)
             .name_block(80, 64, "", latin("Sprint"))
             .bytes(),
         "Sprint"},
        {"lap2",
         FileBytes()
             .header("<< Watch Lap File v2.0U")
             .name_block(144, 128, "", utf16le(u"Sprint \u00E9"))
             .bytes(),
         "Sprint \xC3\xA9"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.label);
        FileBytes rest;
        rest.summary(sample_summary(2)).lap(sample_lap(0)).lap(sample_lap(1));
        c.bytes.insert(c.bytes.end(), rest.bytes().begin(), rest.bytes().end());
        std::string path = dir.file(std::string(c.label) + ".ss");
        write_bytes(path, c.bytes);
        Workout workout;
        std::string name = "stale";
        ASSERT_EQ(read_session_file(path, &workout, &name), 0);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(workout.summary, sample_summary(2));
        ASSERT_EQ(workout.lap_count_in_list(), 2u);
        EXPECT_EQ(workout.lap(1), sample_lap(1));
    }
}

TEST(ReadSessionFile, Failures) {
    TempDir dir;
    Workout workout;
    std::string name;
    write_bytes(
        dir.file("tkl.ss"),
        FileBytes().header("<< Watch Track Log File v2.3U").summary(sample_summary(0)).bytes());
    EXPECT_EQ(read_session_file(dir.file("tkl.ss"), &workout, &name), -2);
    EXPECT_EQ(read_session_file(dir.file("missing.ss"), &workout, &name), -2);
    EXPECT_EQ(read_session_file("", &workout, &name), -1);
    EXPECT_EQ(read_session_file(dir.file("tkl.ss"), nullptr, &name), -1);

    // Cut inside the summary fails; cut inside the laps keeps the complete ones.
    auto full = FileBytes()
                    .header("<< Watch Lap File v2.0U")
                    .name_block(144, 128, "", {})
                    .summary(sample_summary(3))
                    .lap(sample_lap(0))
                    .lap(sample_lap(1))
                    .lap(sample_lap(2))
                    .bytes();
    write_bytes(dir.file("cut.ss"),
                std::vector<uint8_t>(full.begin(), full.begin() + 48 + 144 + 40));
    EXPECT_EQ(read_session_file(dir.file("cut.ss"), &workout, &name), -2);
    write_bytes(dir.file("cut.ss"), std::vector<uint8_t>(full.begin(), full.end() - 1));
    EXPECT_EQ(read_session_file(dir.file("cut.ss"), &workout, &name), 1);
    EXPECT_EQ(workout.lap_count_in_list(), 2u);
}

TEST(WriteLapFile, WritesVersion20ByteForByte) {
    LibraryFixture library;
    Workout workout;
    workout.summary = sample_summary(1);
    workout.add_lap(sample_lap(0));
    workout.add_lap(sample_lap(1));  // more entries than lap_count: all are written
    std::string file_name;
    ASSERT_EQ(write_lap_file(workout, "Hills", &file_name), 0);
    EXPECT_EQ(file_name, "20110207082550.ss");
    auto expected = FileBytes()
                        .header("<< Watch Lap File v2.0U")
                        .name_block(144, 128, "", utf16le(u"Hills"))
                        .summary(workout.summary)
                        .lap(sample_lap(0))
                        .lap(sample_lap(1))
                        .bytes();
    std::string path = library.workout_folder() + "/2011/02/20110207082550.ss";
    auto actual = read_bytes(path);
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);

    Workout back;
    std::string name;
    ASSERT_EQ(read_session_file(path, &back, &name), 0);
    EXPECT_EQ(back.lap_count_in_list(), 1u);  // reading follows lap_count
}

TEST(WriteLapFile, FolderFailures) {
    LibraryFixture library;
    Workout workout;
    workout.summary = sample_summary(0);
    write_bytes(library.workout_folder() + "/2011", {1});
    EXPECT_EQ(write_lap_file(workout, ""), -2);
    library_state().set_current_activity("Missing");
    EXPECT_EQ(write_lap_file(workout, ""), -1);
}

}  // namespace
}  // namespace kestrun
