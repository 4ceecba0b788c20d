#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "support/temp_dir.h"

namespace kestrun {
namespace {

using testing::TempDir;

std::size_t files_in(const std::string& folder) {
    std::size_t n = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++n;
    }
    return n;
}

TEST(AtomicFileWriter, CommitReplacesTargetAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.file("a.bin");
    ASSERT_EQ(write_file_atomically(path, std::string_view("old")), 0);
    ASSERT_EQ(write_file_atomically(path, std::string_view("new contents")), 0);
    std::string read;
    ASSERT_EQ(read_whole_file(path, read, 1000), 0);
    EXPECT_EQ(read, "new contents");
    EXPECT_EQ(files_in(dir.path()), 1u);
}

TEST(AtomicFileWriter, WriterDroppedWithoutCommitKeepsOldFile) {
    TempDir dir;
    std::string path = dir.file("a.bin");
    ASSERT_EQ(write_file_atomically(path, std::string_view("old")), 0);
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.open(path));
        std::string big(200000, 'x');
        writer.write(big);
    }
    std::string read;
    ASSERT_EQ(read_whole_file(path, read, 1000), 0);
    EXPECT_EQ(read, "old");
    EXPECT_EQ(files_in(dir.path()), 1u);
}

TEST(AtomicFileWriter, MissingFolderFailsCleanly) {
    TempDir dir;
    EXPECT_EQ(write_file_atomically(dir.file("no/such/a.bin"), std::string_view("x")), -1);
}

TEST(AtomicFileWriter, AFailedWriteKeepsTheOldFile) {
    // A file-size limit makes the write fail part way, as a full disk would, even as root.
    TempDir dir;
    std::string path = dir.file(std::string(250, 'n'));
    ASSERT_EQ(write_file_atomically(path, std::string_view("old")), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 100000;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    std::string big(300000, 'x');
    int result = write_file_atomically(path, big);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, -1);
    std::string read;
    ASSERT_EQ(read_whole_file(path, read, 1000), 0);
    EXPECT_EQ(read, "old");
    EXPECT_EQ(files_in(dir.path()), 1u);
}

TEST(ReadWholeFile, RefusesFilesOverTheBound) {
    TempDir dir;
    std::string path = dir.file("a.bin");
    ASSERT_EQ(write_file_atomically(path, std::string_view("0123456789")), 0);
    std::string read;
    EXPECT_EQ(read_whole_file(path, read, 9), -2);
    EXPECT_EQ(read_whole_file(dir.file("missing"), read, 9), -1);
}

}  // namespace
}  // namespace kestrun
