// `kestrun-cli download` against a `kestrun-clipsim` process: the road scripts/run takes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

const std::string kBin = KESTRUN_BIN_DIR;

struct CliDownload : ::testing::Test {
    testing::TempDir home;
    pid_t simulator = -1;
    std::vector<std::string> env;

    void SetUp() override {
        if (::access((kBin + "/kestrun-cli").c_str(), X_OK) != 0 ||
            ::access((kBin + "/kestrun-clipsim").c_str(), X_OK) != 0)
            GTEST_SKIP() << "kestrun-cli and kestrun-clipsim are not built";
        // Settings, registry, log file and socket all stay in the test's folder.
        env = {"KESTRUN_CLIP_SOCKET=" + home.file("clip.sock"), "HOME=" + home.path(),
               "XDG_CONFIG_HOME=" + home.file("config"), "KESTRUN_PROGRAM_DIR=" + home.path()};
    }
    void TearDown() override {
        if (simulator > 0) {
            ::kill(simulator, SIGTERM);
            int status = 0;
            ::waitpid(simulator, &status, 0);
        }
    }

    void start_simulator(const std::string& scenario) {
        testing::write_bytes(home.file("week.scenario"),
                             std::vector<uint8_t>(scenario.begin(), scenario.end()));
        simulator = testing::spawn_program(
            {kBin + "/kestrun-clipsim", "--scenario", home.file("week.scenario")}, env,
            home.file("sim.out"), home.file("sim.err"));
        ASSERT_GT(simulator, 0);
        for (int i = 0; i < 500 && testing::text_of(home.file("sim.out")) != "ready\n"; ++i)
            ::usleep(10000);
        ASSERT_EQ(testing::text_of(home.file("sim.out")), "ready\n")
            << testing::text_of(home.file("sim.err"));
    }

    testing::Outcome download() {
        return testing::run_program(
            {kBin + "/kestrun-cli", "--data-path", home.file("data"), "download"}, env,
            home.path());
    }
};

TEST_F(CliDownload, FilesEverySessionAndPrintsThePaths) {
    start_simulator(
        "session 2011-02-07 08:25:50\nlaps 10 0:01:28.40\n"
        "session 2011-02-09 18:02:11\nlap 0:04:12.55\n");
    const testing::Outcome outcome = download();
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    const std::string user = home.file("data") + "/user";
    EXPECT_EQ(outcome.out, user + "/2011/02/20110207082550.tkl\n" + user +
                               "/2011/02/20110209180211.tkl\nData transfer is completed\n");
    EXPECT_TRUE(testing::file_exists(user + "/2011/02/20110207082550.tkl"));
}

TEST_F(CliDownload, FailsWithTheWindowsMessages) {
    testing::Outcome outcome = download();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "No stopwatch is found !\n");

    start_simulator("id 01 02 03 04\n");
    outcome = download();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "No data in watch\n");
    EXPECT_EQ(outcome.out, "");
}

}  // namespace
}  // namespace kestrun
