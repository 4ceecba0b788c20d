#include "app/core/log_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/crc32.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? old : "");
        }
        ::setenv("HOME", dir_.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", dir_.file("config").c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::string content() {
        std::vector<uint8_t> bytes = testing::read_bytes(dir_.file("Kestrun/watch.log"));
        return std::string(bytes.begin(), bytes.end());
    }

    // Every seal line with the offset where it starts.
    std::vector<std::pair<std::size_t, std::string>> seals(const std::string& text) {
        std::vector<std::pair<std::size_t, std::string>> found;
        for (std::size_t at = text.find("; -------- "); at != std::string::npos;
             at = text.find("; -------- ", at + 1))
            found.emplace_back(at, text.substr(at, text.find("\r\n", at) - at));
        return found;
    }

    testing::TempDir dir_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST(Crc32, KnownAnswer) {
    EXPECT_EQ(crc32(std::string_view("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32(std::string_view("")), 0u);
}

TEST_F(LogFile, EachBlockIsSealedWithTheCrcOfEverythingBeforeIt) {
    CreateLog();
    AppendLogLine("Watch version : 01 02 A0 FF\r\n");
    AppendLogLine("Watch version : 01 02 A0 FE\r\n");
    std::string text = content();

    auto found = seals(text);
    ASSERT_EQ(found.size(), 3u);
    for (const auto& [offset, line] : found) {
        uint32_t crc = crc32(std::string_view(text).substr(0, offset));
        EXPECT_EQ(line, log_seal_line(crc));
        char expected[64];
        std::snprintf(expected, sizeof expected, "; -------- %08X-%08X --------", crc,
                      crc ^ kLogSealMask);
        EXPECT_EQ(line, expected);
    }

    std::size_t start_lines = 0;
    for (std::size_t at = 0; at < found[0].first; at = text.find("\r\n", at) + 2)
        ++start_lines;
    EXPECT_EQ(start_lines, 7u);
    EXPECT_EQ(text.rfind("[", 0), 0u);
    EXPECT_NE(text.find("\r\nApplication name : Kestrun\r\n"), std::string::npos);
    EXPECT_NE(text.find("Watch version : 01 02 A0 FF\r\r\n\r\n; -------- "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_F(LogFile, NewStartReplacesTheOldLog) {
    CreateLog();
    AppendLogLine("Watch version : 01 02 03 04\r\n");
    CreateLog();
    std::string text = content();
    EXPECT_EQ(seals(text).size(), 1u);
    EXPECT_EQ(text.find("Watch version"), std::string::npos);
}

TEST_F(LogFile, AppendWithoutStartCreatesASealedFile) {
    AppendLogLine("Watch version : 01 02 03 04\r\n");
    std::string text = content();
    auto found = seals(text);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].second,
              log_seal_line(crc32(std::string_view(text).substr(0, found[0].first))));
    SealLog();
    EXPECT_EQ(content(), text) << "no block pending: nothing is added";
}

TEST_F(LogFile, LivesInTheXdgDocumentsFolder) {
    std::filesystem::create_directories(dir_.file("config"));
    std::ofstream(dir_.file("config/user-dirs.dirs"))
        << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    CreateLog();
    EXPECT_EQ(log_file_path(), dir_.file("Dokumente/Kestrun/watch.log"));
    EXPECT_TRUE(testing::file_exists(dir_.file("Dokumente/Kestrun/watch.log")));
}

}  // namespace
}  // namespace kestrun
