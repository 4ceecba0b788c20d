#include "stopwatch/download.h"

#include <gtest/gtest.h>

#include <optional>

#include "scenario.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/stopwatch_memory.h"
#include "support/message_queue.h"

namespace kestrun {
namespace {

using clipsim::lap_value;

clipsim::MemoryImage image_of(const std::string& scenario_text) {
    std::string error;
    const auto scenario = clipsim::parse_scenario(scenario_text, error);
    EXPECT_EQ(error, "");
    const auto image = clipsim::build_image(scenario, error);
    EXPECT_EQ(error, "");
    return image;
}

// Reads straight from a memory image, recording every read; one read may be made to fail.
struct ImageReader {
    explicit ImageReader(const clipsim::MemoryImage& memory) : image(memory) {}
    clipsim::MemoryImage image;
    struct Read {
        uint16_t address;
        uint8_t count;
    };
    std::vector<Read> reads;
    int fail_at = -1;  // index of the read that fails
    uint16_t fail_code = 0;

    MemoryReader reader() {
        return [this](uint16_t address, uint8_t count, uint8_t* out) -> ReadResult {
            reads.push_back({address, count});
            if (static_cast<int>(reads.size()) - 1 == fail_at)
                return {-1, fail_code};
            for (uint8_t i = 0; i < count; ++i)
                out[i] = address + i < image.size() ? image[address + i] : 0xFF;
            return {0, 0};
        };
    }
    // Index of the first read at `address`.
    int first_read_at(uint16_t address) const {
        for (std::size_t i = 0; i < reads.size(); ++i)
            if (reads[i].address == address)
                return static_cast<int>(i);
        return -1;
    }
};

struct DownloadResult {
    std::vector<Message> messages;
    std::vector<StopwatchSession> sessions;

    std::vector<int> ids() const {
        std::vector<int> out;
        for (const Message& m : messages)
            out.push_back(m.id);
        return out;
    }
    std::optional<Message> last() const {
        if (messages.empty())
            return std::nullopt;
        return messages.back();
    }
    std::vector<std::string> log_lines() const {
        std::vector<std::string> out;
        for (const Message& m : messages)
            if (m.id == kMsgLogLine)
                out.push_back(*m.text());
        return out;
    }
};

DownloadResult download(ImageReader& memory) {
    testing::MessageQueue owner;
    SessionTable table;
    table.add(StopwatchSession{});  // left over from an earlier download
    run_download(memory.reader(), owner, table);
    return {owner.drain(), table.snapshot()};
}

const char kThreeSessions[] =
    "id 4B 53 01 07\n"
    "session 2011-02-07 08:25:50 number 12\n"
    "laps 10 0:01:28.40\n"
    "session 2011-02-09 18:02:11 blocks 8,8\n"
    "laps 21 0:04:05.10\n"
    "session 2012-12-31 23:59:59 slot 40 number 1234\n";

TEST(Download, FillsTheSessionTableFromDirectoryAndLapChains) {
    ImageReader memory{image_of(kThreeSessions)};
    const DownloadResult result = download(memory);

    ASSERT_EQ(result.sessions.size(), 3u);
    EXPECT_EQ(result.sessions[0].start, (std::array<uint8_t, 6>{11, 2, 7, 8, 25, 50}));
    ASSERT_EQ(result.sessions[0].laps.size(), 10u);
    EXPECT_EQ(result.sessions[0].laps[0], lap_value(0, 1, 28, 40));
    EXPECT_EQ(result.sessions[0].laps[9], lap_value(0, 14, 44, 0));
    // 21 laps over blocks of 8, 8 and 5.
    ASSERT_EQ(result.sessions[1].laps.size(), 21u);
    EXPECT_EQ(result.sessions[1].laps[20], lap_value(1, 25, 47, 10));
    // A session with no laps is still a session.
    EXPECT_EQ(result.sessions[2].start, (std::array<uint8_t, 6>{12, 12, 31, 23, 59, 59}));
    EXPECT_TRUE(result.sessions[2].laps.empty());

    EXPECT_EQ(result.log_lines(),
              (std::vector<std::string>{"Segment 12 , Lap = 10", "Segment 2 , Lap = 21",
                                        "Segment 1234 , Lap = 0"}));
    EXPECT_EQ(stopwatch_identification(), (std::array<uint8_t, 4>{0x4B, 0x53, 0x01, 0x07}));

    // Progress: 0-300 over the directory scan, then the laps on top.
    ASSERT_GE(result.messages.size(), 3u);
    EXPECT_EQ(result.messages[0].id, kMsgProgressRange);
    EXPECT_EQ(result.messages[0].lparam, 300);
    int steps = 0;
    for (const Message& m : result.messages)
        steps += m.id == kMsgProgressStep;
    EXPECT_EQ(steps, 1 + 99 + 31);
    bool second_range = false;
    for (const Message& m : result.messages)
        second_range |= m.id == kMsgProgressRange && m.lparam == 331;
    EXPECT_TRUE(second_range);
    EXPECT_EQ(result.last()->id, kMsgDownloadEnded);
    EXPECT_EQ(result.last()->wparam, 1);
}

TEST(Download, ReadsLapsInPiecesOfAtMostTen) {
    ImageReader memory{
        image_of("session 2011-01-01 10:00:00 blocks 10\nlaps 10 0:00:10.00\n"
                 "session 2011-01-01 11:00:00 blocks 11\nlaps 11 0:00:10.00\n")};
    download(memory);
    std::vector<std::pair<uint16_t, int>> lap_reads;
    for (const auto& read : memory.reads)
        if (read.address >= clipsim::kFirstBlockAddress)
            lap_reads.push_back({read.address, read.count});
    const uint16_t first = clipsim::kFirstBlockAddress;
    const uint16_t second = first + 4 + 40;
    EXPECT_EQ(lap_reads,
              (std::vector<std::pair<uint16_t, int>>{
                  {first, 4}, {first + 4, 40}, {second, 4}, {second + 4, 40}, {second + 44, 4}}));
}

TEST(Download, InvalidLapEndsThatSessionButKeepsTheLapsBeforeIt) {
    ImageReader memory{image_of(
        "session 2011-01-01 10:00:00 blocks 3\n"
        "lap 0:00:10.00\nlap 0:00:20.00\nlap-bytes 00 60 00 00\nlap 0:00:40.00\nlap 0:00:50.00\n"
        "session 2011-01-02 10:00:00\nlap 0:01:00.00\n")};
    const DownloadResult result = download(memory);
    ASSERT_EQ(result.sessions.size(), 2u);
    EXPECT_EQ(result.sessions[0].laps,
              (std::vector<uint32_t>{lap_value(0, 0, 10, 0), lap_value(0, 0, 20, 0)}));
    EXPECT_EQ(result.sessions[1].laps.size(), 1u);
    // The block after the invalid lap is never read.
    EXPECT_EQ(memory.first_read_at(clipsim::kFirstBlockAddress + 16), -1);
}

TEST(Download, LapValidityFollowsTheBcdLimits) {
    struct Case {
        uint32_t lap;
        bool valid;
    };
    const Case cases[] = {
        {lap_value(23, 59, 59, 99), true},
        {0x00000000, true},
        {0x24000000, false},
        {0x00600000, false},
        {0x00006000, false},
        {0x0000009A, false},
        {0x00800000, false},
        {0x0000001A, true},  // only the limits are checked
    };
    for (const Case& c : cases)
        EXPECT_EQ(is_valid_lap(c.lap), c.valid) << std::hex << c.lap;
}

TEST(Download, EmptyDirectoryReportsNoSessionAndNoEnd) {
    ImageReader memory{image_of("id 01 02 03 04\n")};
    const DownloadResult result = download(memory);
    EXPECT_TRUE(result.sessions.empty());
    EXPECT_EQ(result.last()->id, kMsgTransferNotice);
    EXPECT_EQ(result.last()->wparam, kNoticeNoSession);
    for (const Message& m : result.messages)
        EXPECT_NE(m.id, kMsgDownloadEnded);
}

TEST(Download, ChainThatLoopsEndsTheSession) {
    clipsim::MemoryImage image = image_of("session 2011-01-01 10:00:00\nlaps 2 0:00:10.00\n");
    // The block points back at itself.
    image[clipsim::kFirstBlockAddress] = clipsim::kFirstBlockAddress & 0xFF;
    image[clipsim::kFirstBlockAddress + 1] = clipsim::kFirstBlockAddress >> 8;
    ImageReader memory{image};
    const DownloadResult result = download(memory);
    ASSERT_EQ(result.sessions.size(), 1u);
    EXPECT_EQ(result.sessions[0].laps.size(), 2u);
    EXPECT_EQ(result.last()->wparam, 1);
}

// Failed reads: which read fails, with which code, and what the owner then hears.
struct FailureCase {
    const char* name;
    uint16_t fail_address;  // the first read at this address fails
    uint16_t code;
    std::vector<int> last_ids;  // the final messages
    int last_wparam;            // of the last message; -1: no message expected at all after
    int sessions_with_laps;     // when the download ends with success
};

class DownloadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DownloadFailure, EndsAsTheClipAsks) {
    const FailureCase& c = GetParam();
    ImageReader memory{image_of(kThreeSessions)};
    // Find the index of the read to fail by a dry run.
    {
        ImageReader dry{memory.image};
        download(dry);
        memory.fail_at = dry.first_read_at(c.fail_address);
        ASSERT_GE(memory.fail_at, 0);
    }
    memory.fail_code = c.code;
    const DownloadResult result = download(memory);
    const auto ids = result.ids();
    if (c.last_ids.empty()) {
        for (int id : ids) {
            EXPECT_NE(id, kMsgDownloadEnded);
            EXPECT_NE(id, kMsgTransferNotice);
        }
        return;
    }
    ASSERT_GE(ids.size(), c.last_ids.size());
    EXPECT_EQ(std::vector<int>(ids.end() - static_cast<long>(c.last_ids.size()), ids.end()),
              c.last_ids);
    EXPECT_EQ(result.last()->wparam, c.last_wparam);
    if (c.last_wparam == 1) {
        int with_laps = 0;
        for (const auto& s : result.sessions)
            with_laps += !s.laps.empty();
        EXPECT_EQ(with_laps, c.sessions_with_laps);
        EXPECT_EQ(result.sessions.size(), 3u);
    }
}

const uint16_t kSecondSessionBlock = clipsim::kFirstBlockAddress + 44;

INSTANTIATE_TEST_SUITE_P(
    Reads, DownloadFailure,
    ::testing::Values(
        FailureCase{"directory_time_out_gives_the_clip_message",
                    0x0010,
                    kReadErrorTimeout,
                    {kMsgTransferNotice, kMsgDownloadEnded},
                    0,
                    0},
        FailureCase{"identification_time_out",
                    0x000C,
                    kReadErrorTimeout,
                    {kMsgTransferNotice, kMsgDownloadEnded},
                    0,
                    0},
        FailureCase{"directory_short_answer_fails_without_message",
                    0x0010,
                    kReadErrorLength,
                    {kMsgDownloadEnded},
                    0,
                    0},
        FailureCase{"directory_abort_is_silent", 0x0020, kReadErrorAborted, {}, -1, 0},
        FailureCase{"lap_time_out_loses_that_sessions_laps_only",
                    kSecondSessionBlock + 4 + 32,
                    kReadErrorTimeout,
                    {kMsgDownloadEnded},
                    1,
                    1},
        FailureCase{"lap_block_header_time_out",
                    kSecondSessionBlock,
                    kReadErrorTimeout,
                    {kMsgDownloadEnded},
                    1,
                    1},
        FailureCase{"lap_abort_is_silent", kSecondSessionBlock + 4, kReadErrorAborted, {}, -1, 0}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

}  // namespace
}  // namespace kestrun
