#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/pty.h"
#include "seriallink/watch_commands.h"
#include "seriallink/watch_link.h"
#include "seriallink/watch_messages.h"
#include "support/message_queue.h"
#include "watch_simulator.h"

namespace kestrun {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

WatchLinkOptions quick_link() {
    WatchLinkOptions options;
    options.settle_time = 0ms;
    return options;
}

// Reads from the far end of a terminal until `n` bytes have come.
Bytes read_exactly(PseudoTerminal& terminal, std::size_t n) {
    Bytes all;
    uint8_t chunk[64];
    while (all.size() < n) {
        std::size_t got = 0;
        if (terminal.read(chunk, sizeof chunk, got) != SerialStatus::ok)
            break;
        all.insert(all.end(), chunk, chunk + got);
    }
    return all;
}

TEST(WatchLink, CommandsGoOutAsFrames) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.open());
    testing::MessageQueue owner;
    WatchLink link(owner, quick_link());
    ASSERT_TRUE(link.open(1, terminal.terminal_path()));
    EXPECT_TRUE(link.get_version());
    EXPECT_EQ(read_exactly(terminal, 9),
              (Bytes{0xA0, 0xA2, 0x00, 0x01, 0x10, 0x00, 0x10, 0xB0, 0xB3}));
    EXPECT_TRUE(link.query_status());
    EXPECT_EQ(read_exactly(terminal, 9),
              (Bytes{0xA0, 0xA2, 0x00, 0x01, 0x2C, 0x00, 0x2C, 0xB0, 0xB3}));
}

TEST(WatchLink, OpenRefusesWhatIsNoPort) {
    testing::MessageQueue owner;
    WatchLink link(owner, quick_link());
    EXPECT_FALSE(link.open(1, "/nonexistent/ttyUSB0"));
    EXPECT_FALSE(link.open(1, "/dev/null"));  // no terminal
    EXPECT_FALSE(link.open(0, "/dev/null"));
    EXPECT_FALSE(link.is_open());
    EXPECT_FALSE(link.get_version());  // nothing to write on
}

TEST(WatchLink, WriteGivesUpAtItsTimeLimit) {
    // Nobody reads the far end, so the terminal's buffers fill and the write cannot finish.
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.open());
    testing::MessageQueue owner;
    WatchLinkOptions options = quick_link();
    options.write_limit = 50ms;
    WatchLink link(owner, options);
    ASSERT_TRUE(link.open(1, terminal.terminal_path()));
    const Bytes payload(5000, 0x55);
    bool all_written = true;
    for (int i = 0; i < 200 && all_written; ++i)
        all_written = link.send_packet(payload.data(), payload.size());
    EXPECT_FALSE(all_written);
}

TEST(VersionText, NumbersOrText) {
    struct Case {
        Bytes payload;
        std::string text;
    };
    Bytes long_text = {0x11};
    for (int i = 0; i < 40; ++i)
        long_text.push_back(static_cast<uint8_t>('a' + i % 26));
    const Case cases[] = {
        {{0x11, 0x01, 0x00, 0x17, 0x00}, "1.23"},
        {{0x11, 0xFF, 0xFF, 0x00, 0x01}, "65535.256"},
        {{0x11, '2', '.', '0', '5', 0x00, 'x'}, "2.05"},
        {{0x11, 'V', '1'}, "V1"},
        {{0x11}, ""},
        {long_text, "abcdefghijklmnopqrstuvwxyzabcde"},
        {{0x11, 'C', 0xE9, 0x00, 0x00, 0x00}, "C\xC3\xA9"},  // 8-bit text held as UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(version_text(c.payload.data(), c.payload.size()), c.text) << c.text;
    }
}

TEST(WatchLink, DispatcherPostsRepliesItKnows) {
    testing::MessageQueue owner;
    WatchLink link(owner, quick_link());
    const Bytes version = {0x11, 0x01, 0x00, 0x17, 0x00};
    const Bytes status = {0x2D, 0x00, 0x01, 0x02};
    const Bytes short_status = {0x2D, 0x00};
    const Bytes unknown = {0x41, 0x00, 0x00};
    link.on_packet(short_status.data(), short_status.size());
    link.on_packet(unknown.data(), unknown.size());
    link.on_packet(version.data(), version.size());
    link.on_packet(status.data(), status.size());

    const auto messages = owner.drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].id, kMsgWatchVersionReply);
    ASSERT_NE(messages[0].text(), nullptr);
    EXPECT_EQ(*messages[0].text(), "1.23");
    EXPECT_EQ(messages[1].id, kMsgWatchStatusReply);
    EXPECT_EQ(messages[1].lparam, 3);
    ASSERT_NE(messages[1].bytes(), nullptr);
    EXPECT_EQ(*messages[1].bytes(), (Bytes{0x00, 0x01, 0x02}));
}

// The whole road through a terminal: the simulated watch's replies, with its faults, become
// messages to the owner.
TEST(WatchLink, RepliesOfTheSimulatedWatch) {
    struct Case {
        const char* name;
        WatchSimulatorOptions watch;
        std::string version;
    };
    WatchSimulatorOptions numbers;
    numbers.version_numbers = std::make_pair(uint16_t{1}, uint16_t{23});
    WatchSimulatorOptions garbage;
    garbage.version_text = "GW-2";
    garbage.faults = {WatchFault::garbage};
    WatchSimulatorOptions short_text;
    short_text.version_text = "1.2";  // a text that would read as numbers without its padding
    const Case cases[] = {
        {"text", {}, "1.00"},
        {"numbers", numbers, "1.23"},
        {"garbage before frames", garbage, "GW-2"},
        {"three characters", short_text, "1.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WatchSimulator watch(c.watch);
        ASSERT_TRUE(watch.start());
        testing::MessageQueue owner;
        WatchLink link(owner, quick_link());
        ASSERT_TRUE(link.open(1, watch.terminal_path()));
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(link.get_version());
            const auto reply = owner.wait_for(kMsgWatchVersionReply);
            ASSERT_TRUE(reply);
            EXPECT_EQ(*reply->text(), c.version);
        }
        ASSERT_TRUE(link.query_status());
        const auto status = owner.wait_for(kMsgWatchStatusReply);
        ASSERT_TRUE(status);
        EXPECT_GE(status->lparam, 2);
    }
}

TEST(WatchLink, FramesWithWrongChecksumsAreDropped) {
    WatchSimulatorOptions options;
    options.faults = {WatchFault::checksum};
    WatchSimulator watch(options);
    ASSERT_TRUE(watch.start());
    testing::MessageQueue owner;
    WatchLink link(owner, quick_link());
    ASSERT_TRUE(link.open(1, watch.terminal_path()));
    ASSERT_TRUE(link.get_version());
    ASSERT_TRUE(watch.wait_for_requests(kCmdGetVersion, 1, 5s));
    // The terminal keeps order: had the bad version frame been taken, it would come first.
    const Bytes good = build_frame(Bytes{0x2D, 0x07, 0x08});
    ASSERT_TRUE(watch.send_raw(good));
    const auto first = owner.take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->id, kMsgWatchStatusReply);
}

TEST(WatchLink, HeaderStartingWithB3IsTakenAndLogged) {
    WatchSimulatorOptions options;
    options.faults = {WatchFault::silent};
    WatchSimulator watch(options);
    ASSERT_TRUE(watch.start());
    testing::MessageQueue owner;
    testing::MessageQueue diagnostics;
    WatchLinkOptions link_options = quick_link();
    link_options.diagnostic = [&diagnostics](std::string_view line) {
        diagnostics.post(make_message(0, 0, 0, std::string(line)));
    };
    WatchLink link(owner, link_options);
    ASSERT_TRUE(link.open(1, watch.terminal_path()));
    Bytes frame = build_frame(Bytes{0x11, 'X', 0x00});
    frame[0] = 0xB3;
    ASSERT_TRUE(watch.send_raw(frame));
    const auto reply = owner.wait_for(kMsgWatchVersionReply);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply->text(), "X");
    const auto line = diagnostics.take();
    ASSERT_TRUE(line);
    EXPECT_EQ(*line->text(), "Error in header = 0xb3");
}

TEST(WatchLink, ClosesAfterTheWatchHasGone) {
    auto watch = std::make_unique<WatchSimulator>();
    ASSERT_TRUE(watch->start());
    testing::MessageQueue owner;
    WatchLink link(owner, quick_link());
    ASSERT_TRUE(link.open(1, watch->terminal_path()));
    watch.reset();  // the line hangs up under the receive thread
    link.close();
    EXPECT_FALSE(link.is_open());
}

}  // namespace
}  // namespace kestrun
