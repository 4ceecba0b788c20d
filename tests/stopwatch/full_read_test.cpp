#include "stopwatch/full_read.h"

#include <gtest/gtest.h>

#include "stopwatch/link_messages.h"
#include "support/message_queue.h"

namespace kestrun {
namespace {

// Reads a counting pattern; the read at `fail_piece` (from 0) fails with `fail_code`.
struct PatternReader {
    int fail_piece = -1;
    uint16_t fail_code = 0;
    int pieces = 0;
    MemoryReader reader() {
        return [this](uint16_t address, uint8_t count, uint8_t* out) -> ReadResult {
            if (pieces++ == fail_piece)
                return {-1, fail_code};
            for (uint8_t i = 0; i < count; ++i)
                out[i] = static_cast<uint8_t>(address + i);
            return {0, 0};
        };
    }
};

const StopAwarePause kNoStop = [](std::chrono::milliseconds) { return false; };

TEST(FullRead, ReadsTheWholeMemoryIn205Pieces) {
    PatternReader memory;
    testing::MessageQueue owner;
    run_full_read(memory.reader(), owner, std::chrono::milliseconds(0), kNoStop);
    const auto messages = owner.drain();
    ASSERT_EQ(messages.size(), 2u * 205 + 1);
    EXPECT_EQ(*messages[0].text(), "Read EEPROM 0x0000");
    EXPECT_EQ(*messages[408].text(), "Read EEPROM 0x1FE0");
    const Message& last_piece = messages[409];
    EXPECT_EQ(last_piece.wparam, 0x1FE0);
    EXPECT_EQ(last_piece.bytes()->size(), 32u);
    EXPECT_EQ(messages.back().id, kMsgFullReadPiece);
    EXPECT_EQ(messages.back().lparam, 1);
}

TEST(FullRead, FailedPieceShowsItsCodeAndStillEnds) {
    PatternReader memory;
    memory.fail_piece = 9;
    memory.fail_code = 0x1230;
    testing::MessageQueue owner;
    run_full_read(memory.reader(), owner, std::chrono::milliseconds(0), kNoStop);
    const auto messages = owner.drain();
    ASSERT_EQ(messages.size(), 2u * 9 + 3);
    EXPECT_EQ(*messages[18].text(), "Read EEPROM 0x0168");
    EXPECT_EQ(*messages[19].text(), "Error code = 0x1230");
    EXPECT_EQ(messages.back().lparam, 1);
}

TEST(FullRead, StopRequestEndsItSilently) {
    PatternReader memory;
    testing::MessageQueue owner;
    run_full_read(memory.reader(), owner, std::chrono::milliseconds(5),
                  [](std::chrono::milliseconds) { return true; });
    const auto messages = owner.drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages.back().id, kMsgFullReadPiece);
    EXPECT_EQ(messages.back().lparam, 0);
}

}  // namespace
}  // namespace kestrun
