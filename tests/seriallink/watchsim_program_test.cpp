#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "seriallink/watch_link.h"
#include "seriallink/watch_messages.h"
#include "support/message_queue.h"
#include "support/temp_dir.h"

extern char** environ;

namespace kestrun {
namespace {

using namespace std::chrono_literals;

// kestrun-watchsim as its own process: the path it prints, its link, its answers, its end.
TEST(WatchsimProgram, ServesOnItsTerminalUntilTerminated) {
    testing::TempDir dir;
    const std::string link_path = dir.file("watch");
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args = {KESTRUN_WATCHSIM_PROGRAM,
                                     "--link",
                                     link_path,
                                     "--version-numbers",
                                     "2.5",
                                     "--fault",
                                     "garbage"};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    std::string printed;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        printed.push_back(c);
    close(out[0]);
    EXPECT_TRUE(printed.starts_with("/dev/pts/")) << printed;
    char target[256] = {};
    ASSERT_GT(readlink(link_path.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(printed, target);

    {
        testing::MessageQueue owner;
        WatchLinkOptions options;
        options.settle_time = 0ms;
        WatchLink link(owner, options);
        ASSERT_TRUE(link.open(1, link_path));
        ASSERT_TRUE(link.get_version());
        const auto reply = owner.wait_for(kMsgWatchVersionReply);
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply->text(), "2.5");
    }

    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(link_path, ec)));
}

}  // namespace
}  // namespace kestrun
