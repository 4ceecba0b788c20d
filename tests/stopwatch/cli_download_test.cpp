// `kestrun-cli download` against a `kestrun-clipsim` process: the road scripts/run takes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace kestrun {
namespace {

const std::string kBin = KESTRUN_BIN_DIR;

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs a program with extra environment entries; standard output and error go to files.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& out_path, const std::string& err_path) {
    std::vector<std::string> environment(env);
    for (char** e = environ; *e; ++e)
        environment.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

std::string text_of(const std::string& path) {
    const auto bytes = testing::read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

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
        simulator = spawn({kBin + "/kestrun-clipsim", "--scenario", home.file("week.scenario")},
                          env, home.file("sim.out"), home.file("sim.err"));
        ASSERT_GT(simulator, 0);
        for (int i = 0; i < 500 && text_of(home.file("sim.out")) != "ready\n"; ++i)
            ::usleep(10000);
        ASSERT_EQ(text_of(home.file("sim.out")), "ready\n") << text_of(home.file("sim.err"));
    }

    Outcome download() {
        const pid_t pid =
            spawn({kBin + "/kestrun-cli", "--data-path", home.file("data"), "download"}, env,
                  home.file("cli.out"), home.file("cli.err"));
        Outcome outcome;
        int status = 0;
        if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            outcome.status = WEXITSTATUS(status);
        outcome.out = text_of(home.file("cli.out"));
        outcome.err = text_of(home.file("cli.err"));
        return outcome;
    }
};

TEST_F(CliDownload, FilesEverySessionAndPrintsThePaths) {
    start_simulator(
        "session 2011-02-07 08:25:50\nlaps 10 0:01:28.40\n"
        "session 2011-02-09 18:02:11\nlap 0:04:12.55\n");
    const Outcome outcome = download();
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    const std::string user = home.file("data") + "/user";
    EXPECT_EQ(outcome.out, user + "/2011/02/20110207082550.tkl\n" + user +
                               "/2011/02/20110209180211.tkl\nData transfer is completed\n");
    EXPECT_TRUE(testing::file_exists(user + "/2011/02/20110207082550.tkl"));
}

TEST_F(CliDownload, FailsWithTheWindowsMessages) {
    Outcome outcome = download();
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
