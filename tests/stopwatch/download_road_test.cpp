// From the simulated clip's memory to the workout files: the download through the transfer
// window's controller, then the main window's end handling.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/byte_order.h"
#include "settings/library_state.h"
#include "stopwatch/download_end.h"
#include "support/temp_dir.h"
#include "transfer_fixture.h"
#include "workout/track_log_file.h"

namespace kestrun {
namespace {

using namespace std::chrono_literals;
using testing::SimulatedClip;
using testing::TransferRig;

// Report 1 is the handshake, 2 the identification read; the directory scan of these six
// sessions takes reports 3 to 107, so 108 is the first session's block header and 109 its
// first piece of laps.
const char kWeek[] =
    "id 4B 53 01 07\n"
    "session 2011-02-07 08:25:50 number 1\n"  // laps lost to a time-out
    "laps 5 0:01:00.00\n"
    "session 2011-02-08 07:00:00 number 2 blocks 30\n"
    "lap 0:01:02.03\n"
    "laps 299 0:00:30.50\n"
    "session 2011-02-09 06:00:00 number 3\n"  // no laps at all
    "session 2011-02-10 18:30:00 number 4 blocks 10,11,2\n"
    "laps 23 0:02:00.00\n"
    "session 2011-02-11 12:00:00 number 5\n"
    "lap 0:01:00.00\nlap 0:02:00.00\nlap-bytes 00 60 00 00\nlap 0:04:00.00\n"
    "session 2012-01-01 00:00:01 number 6\n"
    "lap 23:59:59.99\n";

struct Road : ::testing::Test {
    testing::TempDir data;
    std::string user_folder;

    void SetUp() override {
        LibraryPaths paths;
        paths.data_path = data.path();
        paths.user_name = "user";
        library_state().set_paths(paths);
        user_folder = data.path() + "/user";
        ::mkdir(user_folder.c_str(), 0700);
    }

    // Downloads from `clip` and runs the end handling; returns the window's results.
    std::vector<Message> download(SimulatedClip& clip) {
        TransferRig rig(clip.transport());
        rig.controller->StartDownload();
        rig.pump();
        return rig.results();
    }

    std::vector<uint8_t> file(const std::string& relative) {
        return testing::read_bytes(user_folder + "/" + relative);
    }
};

uint32_t lap_in_file(const std::vector<uint8_t>& bytes, std::size_t i) {
    return read_u32_le(bytes.data() + 256 + 16 * i);
}

TEST_F(Road, EverySessionBecomesATrackLogWithItsLaps) {
    SimulatedClip clip(kWeek, {{clipsim::FaultKind::kSilent, 109}});
    const auto results = download(clip);
    ASSERT_FALSE(results.empty());
    ASSERT_EQ(results.back().id, kMsgDownloadEnded);
    ASSERT_EQ(results.back().wparam, 1);

    std::string logged;
    const DownloadEnd end = end_stopwatch_download([&](const std::string& line) { logged = line; });
    EXPECT_EQ(end.write_result, 0);
    EXPECT_TRUE(end.all_saved);
    EXPECT_EQ(end.message, "Data transfer is completed");
    EXPECT_EQ(logged, "Watch version : 4B 53 01 07");
    EXPECT_EQ(end.log_line, "Watch version : 4B 53 01 07\r\n");
    EXPECT_EQ(end.saved_paths,
              (std::vector<std::string>{user_folder + "/2011/02/20110207082550.tkl",
                                        user_folder + "/2011/02/20110208070000.tkl",
                                        user_folder + "/2011/02/20110209060000.tkl",
                                        user_folder + "/2011/02/20110210183000.tkl",
                                        user_folder + "/2011/02/20110211120000.tkl",
                                        user_folder + "/2012/01/20120101000001.tkl"}));

    struct Expected {
        const char* path;
        unsigned laps;
    };
    const Expected expected[] = {
        {"2011/02/20110207082550.tkl", 0}, {"2011/02/20110208070000.tkl", 300},
        {"2011/02/20110209060000.tkl", 0}, {"2011/02/20110210183000.tkl", 23},
        {"2011/02/20110211120000.tkl", 2}, {"2012/01/20120101000001.tkl", 1}};
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.path);
        const auto bytes = file(e.path);
        ASSERT_EQ(bytes.size(), 256u + 16 * e.laps);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 29), "<< Watch Track Log File v2.3U");
        EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 36), std::string("PAT\0", 4));
        EXPECT_EQ(std::string(bytes.begin() + 196, bytes.begin() + 200), std::string("LAP\0", 4));
        EXPECT_EQ(read_u16_le(bytes.data() + 200), e.laps);
        EXPECT_EQ(bytes[208 + 2], e.laps % 256);  // the summary's lap_count
    }

    // The 300-lap session: its first and last lap, hours, minutes and seconds binary and the
    // hundredths still BCD.
    const auto long_session = file("2011/02/20110208070000.tkl");
    EXPECT_EQ(lap_in_file(long_session, 0), 0x03020100u);
    // 1:02.03 + 299 x 30.50 = 2:33:01.53
    EXPECT_EQ(lap_in_file(long_session, 299), 0x53012102u);
    const auto last_day = file("2012/01/20120101000001.tkl");
    EXPECT_EQ(lap_in_file(last_day, 0), 0x993B3B17u);

    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(end.saved_paths[1], &track, &workout, &shift, &name), 0);
    EXPECT_EQ(workout.lap_count_in_list(), 300u);
    EXPECT_TRUE(shift.marked);
}

TEST_F(Road, DownloadingAnUnclearedStopwatchAgainKeepsTheRemarks) {
    SimulatedClip clip(
        "session 2011-02-07 08:25:50\nlaps 3 0:01:00.00\n"
        "session 2011-02-08 08:00:00\nlap 0:05:00.00\n");
    ASSERT_EQ(download(clip).back().wparam, 1);
    const DownloadEnd first = end_stopwatch_download({});
    ASSERT_EQ(first.saved_paths.size(), 2u);
    ASSERT_EQ(rewrite_name(first.saved_paths[0], "Hill repeats"), 0);

    ASSERT_EQ(download(clip).back().wparam, 1);
    const DownloadEnd second = end_stopwatch_download({});
    EXPECT_EQ(second.saved_paths, first.saved_paths);
    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    ASSERT_EQ(read_track_log(second.saved_paths[0], &track, &workout, &shift, &name), 0);
    EXPECT_EQ(name, "Hill repeats");
    EXPECT_EQ(workout.lap_count_in_list(), 3u);
}

TEST_F(Road, SessionsThatCannotBeSavedAreNotReportedAsCompleted) {
    SimulatedClip clip(
        "session 2011-02-07 08:25:50\nlaps 3 0:01:00.00\n"
        "session 2011-02-08 08:00:00\nlap 0:05:00.00\n");
    ASSERT_EQ(download(clip).back().wparam, 1);
    // A folder stands where the first session's file would go.
    ::mkdir((user_folder + "/2011").c_str(), 0700);
    ::mkdir((user_folder + "/2011/02").c_str(), 0700);
    ::mkdir((user_folder + "/2011/02/20110207082550.tkl").c_str(), 0700);

    const DownloadEnd end = end_stopwatch_download({});
    EXPECT_FALSE(end.all_saved);
    EXPECT_NE(end.write_result, 0);
    EXPECT_NE(end.message, "Data transfer is completed");
    EXPECT_FALSE(end.message.empty());
    EXPECT_EQ(end.saved_paths,
              std::vector<std::string>{user_folder + "/2011/02/20110208080000.tkl"});
}

TEST(TransferNotice, TextsOfTheMainWindow) {
    EXPECT_EQ(transfer_notice_text(kNoticeNoStopwatch), "No stopwatch is found !");
    EXPECT_EQ(transfer_notice_text(kNoticeNoSession), "No data in watch");
    EXPECT_EQ(transfer_notice_text(kNoticeClipTimeout).substr(0, 30),
              "Please make sure that USB clip");
    EXPECT_EQ(stopwatch_not_found_line(), "Watch Lapmark VID=0x1130 , PID=0x0202 not found");
}

}  // namespace
}  // namespace kestrun
