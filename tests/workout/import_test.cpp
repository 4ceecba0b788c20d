#include "workout/import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/library_state.h"
#include "support/temp_dir.h"
#include "workout/track_log_file.h"

namespace kestrun {
namespace {

namespace fs = std::filesystem;
using kestrun::testing::read_bytes;
using kestrun::testing::write_bytes;

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        use_library(source_dir_);
        fs::create_directories(library_state().user_folder());
    }
    void TearDown() override { library_state().set_paths(LibraryPaths{}); }

    void use_library(const kestrun::testing::TempDir& dir) {
        LibraryPaths paths;
        paths.data_path = dir.path();
        library_state().set_paths(paths);
    }

    // Writes a v2.3U track log that started 2011-02-07 08:25:50 and renames it `name`.
    std::string track_log_named(const std::string& name) {
        Workout workout;
        workout.summary.set_start(11, 2, 7, 8, 25, 50);
        workout.summary.set_lap_count(0);
        TrackLog track;
        TrackPoint p;
        p.set_datetime(11, 2, 7, 7, 25, 50);
        track.add(p);
        std::string written;
        EXPECT_EQ(write_track_log(workout, track, "run", 1.0, written), 0);
        std::string from = library_state().user_folder() + "/2011/02/" + written;
        std::string to = outside_.file(name);
        fs::rename(from, to);
        return to;
    }

    void enter_target_library() {
        use_library(target_dir_);
        fs::create_directories(library_state().user_folder());
    }
    std::string target(const std::string& relative) {
        return target_dir_.path() + "/user/" + relative;
    }

    kestrun::testing::TempDir source_dir_;
    kestrun::testing::TempDir target_dir_;
    kestrun::testing::TempDir outside_;
};

TEST_F(ImportTest, TrackLogIsNamedAfterItsStartAndNotImportedTwice) {
    std::string source = track_log_named("run.tkl");
    enter_target_library();
    ImportResult first = import_workout(source, 0);
    EXPECT_EQ(first.outcome, LibraryOutcome::kDone);
    EXPECT_EQ(first.message.text, "Import file is done");
    EXPECT_EQ(first.file_name, "20110207082550.tkl");
    EXPECT_EQ(read_bytes(target("2011/02/20110207082550.tkl")), read_bytes(source));
    EXPECT_TRUE(fs::exists(source));

    ImportResult second = import_workout(source, 0);
    EXPECT_EQ(second.outcome, LibraryOutcome::kRefused);
    EXPECT_EQ(second.message.text, "File exist error !\r\n\r\n20110207082550.tkl");
}

TEST_F(ImportTest, MarkedHeaderNamesTheFileAfterTheCorrectedStart) {
    std::string source = track_log_named("shifted.tkl");
    auto bytes = read_bytes(source);
    const uint8_t shift[] = {'P', 'A', 'T', 0, 0, 0, 8, 7, 2, 11,  // reference 2011-02-07 08:00:00
                             30,  10,  9,   7, 2, 11};             // corrected 2011-02-07 09:10:30
    std::copy(std::begin(shift), std::end(shift), bytes.begin() + 32);
    write_bytes(source, bytes);
    enter_target_library();
    EXPECT_EQ(import_workout(source, 0).file_name, "20110207093620.tkl");
}

// A Track Log v3.0U file (no summary) holding one point, built byte by byte.
std::vector<uint8_t> track_only_file(const TrackPoint& point) {
    std::vector<uint8_t> bytes(48 + 144 + 16, 0);
    const std::string header = "<< Watch Track Log File v3.0U";
    std::copy(header.begin(), header.end(), bytes.begin());
    bytes[48] = 144;
    bytes[52] = 128;
    bytes[48 + 144] = 1;  // one point
    bytes.insert(bytes.end(), point.bytes.begin(), point.bytes.end());
    bytes.insert(bytes.end(), 7, 0xAA);
    return bytes;
}

TEST_F(ImportTest, TrackWithoutSummaryIsNamedAfterItsFirstPointLocalTime) {
    TrackPoint p;
    p.set_datetime(10, 12, 31, 23, 30, 0);
    const std::string source = outside_.file("track.tkl");
    write_bytes(source, track_only_file(p));
    enter_target_library();
    ImportResult result = import_workout(source, 3600);
    EXPECT_EQ(result.file_name, "20110101003000.tkl");
    EXPECT_TRUE(fs::exists(target("2011/01/20110101003000.tkl")));

    // A first point without a valid date names the file after its stored fields.
    TrackPoint odd;
    odd.set_datetime(12, 2, 30, 7, 0, 0);
    write_bytes(source, track_only_file(odd));
    EXPECT_EQ(import_workout(source, 3600).file_name, "20120230070000.tkl");
}

TEST_F(ImportTest, NamesAndUnreadableFiles) {
    enter_target_library();
    write_bytes(outside_.file("x.ss"), {1});
    EXPECT_EQ(import_workout(outside_.file("x.ss"), 0).message.text, "Invalid filename error !");

    write_bytes(outside_.file("20110207082550.ss"), {1, 2});
    ImportResult ss = import_workout(outside_.file("20110207082550.ss"), 0);
    EXPECT_EQ(ss.outcome, LibraryOutcome::kDone);
    EXPECT_TRUE(fs::exists(target("2011/02/20110207082550.ss")));

    // A track log that cannot be read ends the import silently.
    ImportResult missing = import_workout(outside_.file("nothing.tkl"), 0);
    EXPECT_EQ(missing.outcome, LibraryOutcome::kNothing);
    EXPECT_TRUE(missing.message.empty());

    // Other kinds keep their own name, which must hold a year and a month.
    write_bytes(outside_.file("a.lbk"), {1});
    EXPECT_EQ(import_workout(outside_.file("a.lbk"), 0).outcome, LibraryOutcome::kRefused);
}

}  // namespace
}  // namespace kestrun
