// `kestrun-cli info` and `rename` run as their own processes on files written here.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "settings/library_state.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "workout/track_log_file.h"

namespace kestrun {
namespace {

const std::string kBin = KESTRUN_BIN_DIR;

struct Cli : ::testing::Test {
    testing::TempDir home;
    std::vector<std::string> env;

    void SetUp() override {
        if (::access((kBin + "/kestrun-cli").c_str(), X_OK) != 0)
            GTEST_SKIP() << "kestrun-cli is not built";
        env = {"HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.file("config"),
               "XDG_DATA_HOME=" + home.file("data"), "KESTRUN_PROGRAM_DIR=" + home.path()};
    }

    testing::Outcome cli(std::vector<std::string> args) {
        args.insert(args.begin(), {kBin + "/kestrun-cli", "--data-path", home.file("library")});
        return testing::run_program(args, env, home.path());
    }

    // A downloaded session: marked header, "LAP" count, two laps, no points.
    std::string stopwatch_file() {
        ::mkdir(home.file("library").c_str(), 0777);
        ::mkdir(home.file("library/user").c_str(), 0777);
        LibraryPaths paths;
        paths.data_path = home.file("library");
        library_state().set_paths(paths);
        StopwatchSession session;
        session.start = {11, 2, 7, 8, 25, 50};
        session.laps = {0x00012345, 0x00025000};
        std::vector<std::string> saved;
        EXPECT_EQ(write_stopwatch_sessions({session}, saved), 0);
        return saved.at(0);
    }
};

TEST_F(Cli, InfoPrintsEveryKeyOfATrackLog) {
    std::string path = stopwatch_file();
    auto outcome = cli({"info", path});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out,
              "format: Track Log File v2.3U\n"
              "kind: 2\n"
              "version: 3\n"
              "name: \n"
              "firmware: 1.00\n"
              "points: 0\n"
              "laps: 2\n"
              "start: 2011-02-07 08:25:50\n"
              "time shift: marked\n"
              "effective start: 2011-02-07 08:25:50\n");
}

TEST_F(Cli, RenameChangesTheNameAndInfoShowsIt) {
    std::string path = stopwatch_file();
    auto renamed = cli({"rename", path, "Bahn 400 m"});
    EXPECT_EQ(renamed.status, 0) << renamed.err;
    EXPECT_EQ(renamed.out, "File saved\n");
    auto info = cli({"info", path});
    EXPECT_NE(info.out.find("name: Bahn 400 m\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("laps: 2\n"), std::string::npos) << info.out;
}

TEST_F(Cli, FailuresExitWithOneAndAMessage) {
    testing::write_bytes(home.file("broken.ss"), {'x'});
    struct Case {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"info", home.file("broken.ss")}, "Error in loading session summary file 'broken.ss' !\n"},
        {{"info", home.file("missing.tkl")}, ""},
        {{"rename", home.file("a.txt"), "x"}, ""},
        {{"nosuchcommand"}, ""},
        {{"info"}, ""},
    };
    for (const auto& c : cases) {
        auto outcome = cli(c.args);
        EXPECT_EQ(outcome.status, 1) << c.args[0];
        EXPECT_FALSE(outcome.err.empty()) << c.args[0];
        if (!c.error.empty()) {
            EXPECT_EQ(outcome.err, c.error);
        }
    }
}

}  // namespace
}  // namespace kestrun
