#include <gtest/gtest.h>

#include "file_fixture.h"
#include "workout/track_log_file.h"

namespace kestrun {
namespace {

using namespace testing;

struct Loaded {
    int result = 0;
    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    double firmware = -1;
};

Loaded load(const std::string& path) {
    Loaded l;
    l.result = read_track_log(path, &l.track, &l.workout, &l.shift, &l.name);
    l.firmware = last_firmware_version();
    return l;
}

struct VersionCase {
    const char* label;
    std::string text;
    std::string trailer;
    uint32_t name_block;  // 0, 80 or 144
    bool summary;
    int kind, version;
    std::string expected_name;
    double expected_firmware;
};

// Every version of the table, built from its byte layout, with a summary of two laps, two points
// and the name "Bahn 5" (8-bit or UTF-16) and the firmware text "1.00".
TEST(ReadTrackLog, ReadsEveryVersion) {
    const VersionCase cases[] = {
        {"v1.0", "<< Watch Session Summary v1.0", kOldTrailer, 0, false, 1, 0, "", 0},
        {"v1.1", "<< Watch Session Summary v1.1", kOldTrailer, 0, true, 1, 1, "", 0},
        {"v2.0", "<< Watch Track Log File v2.0", kOldTrailer, 80, false, 2, 0, "Bahn 5", 0},
        {"v2.1", "<< Watch Track Log File v2.1", kOldTrailer, 80, true, 2, 1, "Bahn 5", 0},
        {"v2.2", "<< Watch Track Log File v2.2", kOldTrailer, 80, true, 2, 2, "Bahn 5", 1.0},
        {"v2.3U", "<< Watch Track Log File v2.3U", kOldTrailer, 144, true, 2, 3, "Bahn 5", 1.0},
        {"v3.0U", "<< Watch Track Log File v3.0U", "\x0A\x1A\xAA\x55\x01\x01", 144, false, 3, 0,
         "Bahn 5", 0},
        {"unrecognised", "<< Something else", "", 0, false, 0, 0, "", 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FileBytes file;
        file.header(c.text, c.trailer);
        if (c.name_block == 80)
            file.name_block(80, 64, "1.00", latin("Bahn 5"));
        if (c.name_block == 144)
            file.name_block(144, 128, "1.00", utf16le(u"Bahn 5"));
        file.count_block(2);
        SessionSummary summary = sample_summary(2);
        if (c.summary)
            file.summary(summary).lap(sample_lap(1)).lap(sample_lap(2));
        file.point(sample_point(1)).point(sample_point(2));
        std::string path = dir.file(std::string(c.label) + ".tkl");
        write_bytes(path, file.bytes());

        int kind = -1, version = -1;
        ASSERT_EQ(detect_workout_file(path, kind, version), 0);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(version, c.version);

        Loaded l = load(path);
        ASSERT_EQ(l.result, 0);
        EXPECT_EQ(l.name, c.expected_name);
        EXPECT_DOUBLE_EQ(l.firmware, c.expected_firmware);
        ASSERT_EQ(l.track.size(), 2u);
        EXPECT_EQ(l.track.at(1), sample_point(2));
        if (c.summary) {
            EXPECT_EQ(l.workout.summary, summary);
            ASSERT_EQ(l.workout.lap_count_in_list(), 2u);
            EXPECT_EQ(l.workout.lap(0), sample_lap(1));
        } else {
            EXPECT_EQ(l.workout.lap_count_in_list(), 0u);
        }
    }
}

TEST(ReadTrackLog, EightBitNamesAreWindows1252) {
    TempDir dir;
    std::string path = dir.file("a.tkl");
    write_bytes(path, FileBytes()
                          .header("<< Watch Track Log File v2.1", kOldTrailer)
                          .name_block(80, 64, "", latin("Caf\xE9 \x80"))
                          .count_block(0)
                          .summary(sample_summary(0))
                          .bytes());
    EXPECT_EQ(load(path).name, "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(ReadTrackLog, NameLengthFieldNeverReadsPastTheNameArea) {
    TempDir dir;
    // 64 characters without a terminating zero and a length field claiming 4 GB; the bytes after
    // the name area are the count block and must not join the name.
    std::u16string sixty_four(64, u'x');
    for (uint32_t size : {80u, 144u}) {
        std::string path = dir.file("n" + std::to_string(size) + ".tkl");
        FileBytes file;
        if (size == 80) {
            file.header("<< Watch Track Log File v2.0", kOldTrailer)
                .name_block(80, 0xFFFFFFFF, "", latin(std::string(64, 'x')));
        } else {
            file.header("<< Watch Track Log File v3.0U")
                .name_block(144, 0xFFFFFFFF, "", utf16le(sixty_four));
        }
        file.count_block(1).point(sample_point(0));
        write_bytes(path, file.bytes());
        Loaded l = load(path);
        EXPECT_EQ(l.result, 0);
        EXPECT_EQ(l.name, std::string(64, 'x'));
        EXPECT_EQ(l.track.size(), 1u);
    }
}

TEST(ReadTrackLog, LapMarkerOverridesTheSummaryCount) {
    TempDir dir;
    FileBytes file;
    file.header("<< Watch Track Log File v2.3U").name_block(144, 128, "", {}).count_block(0, 300);
    file.summary(sample_summary(44));
    for (int i = 0; i < 300; ++i)
        file.lap(sample_lap(i));
    std::string path = dir.file("laps.tkl");
    write_bytes(path, file.bytes());
    Loaded l = load(path);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.workout.lap_count_in_list(), 300u);
    EXPECT_EQ(l.workout.lap(299), sample_lap(299));
}

TEST(ReadTrackLog, HeaderTimeShiftAndEffectiveStart) {
    TempDir dir;
    struct Case {
        const char* label;
        std::string marker;
        uint8_t reference[6];
        uint8_t corrected[6];
        bool marked;
        StoredDateTime effective;
    } cases[] = {
        // Corrected one hour and ten seconds after the reference: the start moves by as much.
        {"shifted",
         std::string("PAT\0", 4),
         {0, 0, 12, 1, 3, 11},
         {10, 0, 13, 1, 3, 11},
         true,
         {11, 2, 7, 9, 26, 0}},
        // Times count without the marker too.
        {"unmarked",
         std::string(4, '\0'),
         {0, 0, 12, 1, 3, 11},
         {0, 0, 11, 1, 3, 11},
         false,
         {11, 2, 7, 7, 25, 50}},
        // Invalid times (all FF, or second 60) leave the start alone.
        {"invalid",
         std::string("PAT\0", 4),
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         true,
         {11, 2, 7, 8, 25, 50}},
        {"second 60",
         std::string("PAT\0", 4),
         {60, 0, 12, 1, 3, 11},
         {0, 0, 13, 1, 3, 11},
         true,
         {11, 2, 7, 8, 25, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FileBytes file;
        file.header("<< Watch Track Log File v2.3U").shift(c.marker, c.reference, c.corrected);
        file.name_block(144, 128, "", {}).count_block(0).summary(sample_summary(0));
        std::string path = dir.file(std::string(c.label) + ".tkl");
        write_bytes(path, file.bytes());
        int kind = 0, version = 0;
        ASSERT_EQ(detect_workout_file(path, kind, version), 0);
        EXPECT_EQ(version, 3);  // the zeros before the marker end the header text
        Loaded l = load(path);
        ASSERT_EQ(l.result, 0);
        EXPECT_EQ(l.shift.marked, c.marked);
        EXPECT_EQ(effective_start_time(l.workout.summary, l.shift), c.effective);
    }
}

TEST(DetectWorkoutFile, ExtensionAndHeaderRules) {
    TempDir dir;
    auto v23 = FileBytes().header("<< Watch Track Log File v2.3U").bytes();
    auto v10 = FileBytes().header("<< Watch Session Summary v1.0", kOldTrailer).bytes();
    auto v10_extra = v10;
    v10_extra[36] = 'x';  // a byte right after the seven trailing bytes
    write_bytes(dir.file("A.TKL"), v23);
    write_bytes(dir.file("a.tkl.bak"), v23);
    write_bytes(dir.file("v10.tkl"), v10);
    write_bytes(dir.file("v10x.tkl"), v10_extra);
    struct Case {
        std::string path;
        int result, kind, version;
    } cases[] = {
        {"", -1, 0, 0},
        {dir.file("A.TKL"), 0, 2, 3},
        {dir.file("a.tkl.bak"), -2, 0, 0},
        {dir.file("missing.tkl"), -3, 0, 0},
        {dir.file("v10.tkl"), 0, 1, 0},
        {dir.file("v10x.tkl"), 0, 0, 0},
    };
    for (const auto& c : cases) {
        int kind = -1, version = -1;
        EXPECT_EQ(detect_workout_file(c.path, kind, version), c.result) << c.path;
        if (c.result == 0) {
            EXPECT_EQ(kind, c.kind) << c.path;
            EXPECT_EQ(version, c.version) << c.path;
        }
    }
}

// Cut at every length: the blocks before the records give kReadTooShort, a cut inside the laps
// or points keeps exactly the complete records, and nothing is read from missing bytes (the asan
// run checks the last part).
TEST(ReadTrackLog, CutFilesKeepOnlyCompleteRecords) {
    TempDir dir;
    FileBytes file;
    file.header("<< Watch Track Log File v2.3U").name_block(144, 128, "1.00", utf16le(u"cut"));
    file.count_block(3).summary(sample_summary(2)).lap(sample_lap(0)).lap(sample_lap(1));
    file.point(sample_point(0)).point(sample_point(1)).point(sample_point(2));
    const auto& full = file.bytes();
    const std::size_t records = 48 + 144 + 16 + 48;
    std::string path = dir.file("cut.tkl");
    for (std::size_t length = 0; length <= full.size(); ++length) {
        write_bytes(path, std::vector<uint8_t>(full.begin(), full.begin() + length));
        Loaded l = load(path);
        SCOPED_TRACE(length);
        if (length < records) {
            EXPECT_EQ(l.result, kReadTooShort);
            continue;
        }
        std::size_t laps = std::min<std::size_t>(2, (length - records) / 16);
        std::size_t after_laps = length - records - laps * 16;
        std::size_t points = laps < 2 ? 0 : std::min<std::size_t>(3, (after_laps + 7) / 32);
        // The last point needs its 25 bytes, not its padding.
        if (laps == 2 && after_laps >= 2 * 32 + 25)
            points = 3;
        EXPECT_EQ(l.workout.lap_count_in_list(), laps);
        EXPECT_EQ(l.track.size(), points);
        EXPECT_EQ(l.result, length == full.size() || (points == 3) ? kReadOk : kReadTruncated);
        for (std::size_t i = 0; i < points; ++i)
            EXPECT_EQ(l.track.at(i), sample_point(int(i)));
    }
}

TEST(ReadTrackLog, HugeCountsInASmallFileAreNotTrusted) {
    TempDir dir;
    std::string path = dir.file("huge.tkl");
    write_bytes(path, FileBytes()
                          .header("<< Watch Track Log File v3.0U")
                          .name_block(144, 128, "", {})
                          .count_block(0xFFFFFFFF)
                          .point(sample_point(0))
                          .bytes());
    Loaded l = load(path);
    EXPECT_EQ(l.result, kReadTruncated);
    EXPECT_EQ(l.track.size(), 1u);
}

TEST(ReadTrackLog, GarbageAndBadArguments) {
    TempDir dir;
    std::string path = dir.file("garbage.tkl");
    std::vector<uint8_t> garbage(1000);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    write_bytes(path, garbage);
    Loaded l = load(path);
    EXPECT_TRUE(l.result == kReadOk || l.result == kReadTruncated);

    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    EXPECT_EQ(read_track_log("", &track, &workout, &shift, &name), kReadBadArguments);
    EXPECT_EQ(read_track_log(path, nullptr, &workout, &shift, &name), kReadBadArguments);
    EXPECT_EQ(read_track_log(dir.file("x.ss"), &track, &workout, &shift, &name), kReadBadArguments);
    EXPECT_EQ(read_track_log(dir.file("missing.tkl"), &track, &workout, &shift, &name),
              kReadBadArguments);
}

TEST(ReadTrackLog, RoundTripKeepsEveryByte) {
    LibraryFixture library;
    TempDir dir;
    FileBytes file;
    file.header("<< Watch Track Log File v2.3U", kOldTrailer)
        .name_block(144, 128, "2.05", utf16le(u"Rund"));
    file.count_block(2).summary(sample_summary(1)).lap(sample_lap(3));
    file.point(sample_point(4)).point(sample_point(5));
    std::string path = dir.file("in.tkl");
    write_bytes(path, file.bytes());
    Loaded l = load(path);
    ASSERT_EQ(l.result, 0);
    std::string file_name;
    ASSERT_EQ(write_track_log(l.workout, l.track, l.name, l.firmware, file_name), 0);
    auto written = read_bytes(library.workout_folder() + "/2011/02/" + file_name);
    EXPECT_EQ(written, file.bytes()) << hex_diff(file.bytes(), written);
}

TEST(IsLapMarkedFile, ResultCodes) {
    TempDir dir;
    auto marked = FileBytes()
                      .header("<< Watch Track Log File v2.3U")
                      .name_block(144, 128, "", {})
                      .count_block(0, 1)
                      .bytes();
    auto plain = FileBytes()
                     .header("<< Watch Track Log File v2.3U")
                     .name_block(144, 128, "", {})
                     .count_block(0)
                     .bytes();
    write_bytes(dir.file("m.tkl"), marked);
    write_bytes(dir.file("p.TKL"), plain);
    write_bytes(dir.file("short.tkl"), {1, 2, 3});
    EXPECT_EQ(is_lap_marked_file(dir.file("m.tkl")), 0);
    EXPECT_EQ(is_lap_marked_file(dir.file("p.TKL")), 99);
    EXPECT_EQ(is_lap_marked_file(dir.file("short.tkl")), 99);
    EXPECT_EQ(is_lap_marked_file(""), -1);
    EXPECT_EQ(is_lap_marked_file(dir.file("m.ss")), -2);
    EXPECT_EQ(is_lap_marked_file(dir.file("none.tkl")), -3);
}

}  // namespace
}  // namespace kestrun
