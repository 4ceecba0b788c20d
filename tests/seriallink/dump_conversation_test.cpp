#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/timer_host.h"
#include "seriallink/dump_conversation.h"
#include "seriallink/dump_file.h"
#include "seriallink/dump_outcome.h"
#include "seriallink/watch_commands.h"
#include "seriallink/watch_messages.h"
#include "support/message_queue.h"
#include "support/temp_dir.h"
#include "watch_simulator.h"

namespace kestrun {
namespace {

using namespace std::chrono_literals;

int count_of(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// The window the conversation runs in: a log kept as the transfer window keeps it, a manual clock
// for the timers, the window's queue, and the main window's queue.
class DumpWindow : public DumpHost {
public:
    explicit DumpWindow(std::string terminal_paths, SerialLinkSettings settings = {})
        : settings_(settings) {
        DumpConversationOptions options;
        options.ports.terminal_paths = std::move(terminal_paths);
        options.ports.use_environment = false;
        options.link.settle_time = 0ms;
        options.port_pause = 0ms;
        options.debug_print_masked = [this](const std::string& text, uint32_t mask) {
            debug_lines.push_back(text + " / " + std::to_string(mask));
        };
        conversation = std::make_unique<DumpConversation>(*this, timers, inbox, main_window,
                                                          settings_, options);
    }
    ~DumpWindow() override { conversation.reset(); }

    void append_log(const std::string& line) override {
        log += line + "\r\n";
        lines.push_back(line);
    }
    void replace_log(const std::string& text) override { log = text; }
    void set_window_texts(const std::string& caption, const std::string& cancel) override {
        window_texts = caption + " / " + cancel;
    }
    void show_window() override { ++shown; }
    void finish() override {
        ++finished;
        conversation->end();
    }

    // Hands the window's queue to the conversation until a message `id` has been handled.
    bool pump_until(int id) {
        for (;;) {
            auto message = inbox.take(5s);
            if (!message)
                return false;
            conversation->handle(*message);
            if (message->id == id)
                return true;
        }
    }
    std::vector<Message> main_messages() { return main_window.drain(); }
    std::optional<DumpOutcome> outcome() {
        for (const Message& m : main_window.drain()) {
            if (auto o = read_dump_outcome(m))
                return o;
        }
        return std::nullopt;
    }

    SerialLinkSettings settings_;
    ManualTimerHost timers;
    testing::MessageQueue inbox;
    testing::MessageQueue main_window;
    std::unique_ptr<DumpConversation> conversation;
    std::string log;
    std::vector<std::string> lines;
    std::vector<std::string> debug_lines;
    std::string window_texts;
    int shown = 0;
    int finished = 0;
};

WatchSimulatorOptions with_fault(WatchFault fault) {
    WatchSimulatorOptions options;
    options.faults = {fault};
    return options;
}

TEST(DumpConversation, WatchAnswersAndTheDumpWaitsForCancel) {
    WatchSimulator watch;
    ASSERT_TRUE(watch.start());
    DumpWindow window(watch.terminal_path());
    window.conversation->StartDump();
    EXPECT_EQ(window.log,
              "COM PORT : COM1 \r\nCOM=1, Baud=115200\r\nRead option [128B,4k,ignore] = 2\r\n");
    EXPECT_EQ(window.window_texts, "Data transfer / Cancel");
    EXPECT_TRUE(window.conversation->busy());

    ASSERT_TRUE(window.pump_until(kMsgWatchVersionReply));
    EXPECT_TRUE(window.timers.is_running(kTimerStatusReply));
    EXPECT_FALSE(window.timers.is_running(kTimerVersionReply));
    ASSERT_TRUE(window.pump_until(kMsgWatchStatusReply));
    EXPECT_EQ(window.log, "Data RAM Dump\r\nRead sector 0 ...\r\n");
    EXPECT_TRUE(window.conversation->dump_started());
    EXPECT_EQ(window.conversation->operation(), kOperationMemoryDump);
    EXPECT_EQ(window.settings_.last_com, 1);
    EXPECT_FALSE(window.timers.is_running(kTimerStatusReply));

    const auto messages = window.main_messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].id, kMsgDumpLineRate);
    EXPECT_EQ(messages[0].wparam, 115200);
    EXPECT_EQ(messages[1].id, kMsgDumpWatchVersion);
    EXPECT_EQ(*messages[1].text(), "1.00");
    EXPECT_EQ(messages[2].id, kMsgDumpComPort);
    EXPECT_EQ(messages[2].wparam, 1);

    // Nothing more is sent while the dump waits, however long.
    window.timers.advance(5000ms);
    EXPECT_EQ(watch.requests(kCmdGetVersion), 1);
    EXPECT_EQ(watch.requests(kCmdQueryStatus), 1);
    EXPECT_EQ(window.finished, 0);

    // Cancel: the window's Finish ends the conversation and the port goes.
    window.finish();
    EXPECT_EQ(window.conversation->link(), nullptr);
    EXPECT_FALSE(window.conversation->busy());
    EXPECT_EQ(window.conversation->operation(), 0);
}

TEST(DumpConversation, SecondPortAnswersAfterThreeTriesOnTheFirst) {
    WatchSimulator silent(with_fault(WatchFault::silent));
    WatchSimulator watch;
    ASSERT_TRUE(silent.start());
    ASSERT_TRUE(watch.start());
    DumpWindow window(silent.terminal_path() + ":" + watch.terminal_path());
    window.conversation->StartDump();
    std::optional<Message> late_reply;
    for (int tries = 1; tries <= 3; ++tries) {
        ASSERT_TRUE(silent.wait_for_requests(kCmdGetVersion, tries, 5s));
        EXPECT_EQ(count_of(window.lines, "GetVer Fail"), tries - 1);
        window.timers.advance(499ms);
        EXPECT_EQ(count_of(window.lines, "GetVer Fail"), tries - 1);
        if (tries == 3) {
            // The first port answers at the last moment; its reply is still queued when the
            // conversation moves on.
            ASSERT_TRUE(silent.send_raw(build_frame(std::vector<uint8_t>{0x11, 'o', 'l', 'd', 0})));
            late_reply = window.inbox.take();
            ASSERT_TRUE(late_reply);
        }
        window.timers.advance(1ms);
    }
    EXPECT_EQ(count_of(window.lines, "GetVer Fail"), 3);
    EXPECT_EQ(window.lines.back(), "Read option [128B,4k,ignore] = 2");
    EXPECT_EQ(count_of(window.lines, "COM=2, Baud=115200"), 1);
    ASSERT_TRUE(watch.wait_for_requests(kCmdGetVersion, 1, 5s));

    // A reply of the port given up does not make it the answering port.
    window.conversation->handle(*late_reply);
    EXPECT_EQ(window.settings_.last_com, -1);
    EXPECT_TRUE(window.main_messages().empty());
    EXPECT_TRUE(window.timers.is_running(kTimerVersionReply));

    ASSERT_TRUE(window.pump_until(kMsgWatchVersionReply));
    EXPECT_EQ(window.settings_.last_com, 2);
    ASSERT_TRUE(window.pump_until(kMsgWatchStatusReply));
    EXPECT_TRUE(window.conversation->dump_started());
    EXPECT_EQ(silent.requests(kCmdGetVersion), 3);
    window.finish();

    // The next conversation tries the port that answered first.
    window.lines.clear();
    window.conversation->StartDump();
    EXPECT_EQ(window.lines.front(), "COM PORT : COM2 COM1 ");
    EXPECT_EQ(window.lines[1], "COM=2, Baud=115200");
    ASSERT_TRUE(window.pump_until(kMsgWatchVersionReply));
    window.finish();
}

TEST(DumpConversation, SilentWatchEndsWithTheCommunicationError) {
    WatchSimulator silent(with_fault(WatchFault::silent));
    ASSERT_TRUE(silent.start());
    DumpWindow window(silent.terminal_path());
    window.conversation->StartDump();
    window.timers.advance(1500ms);
    EXPECT_EQ(count_of(window.lines, "GetVer Fail"), 3);
    EXPECT_EQ(window.finished, 1);
    EXPECT_EQ(window.conversation->link(), nullptr);
    EXPECT_FALSE(window.timers.is_running(kTimerVersionReply));
    const auto outcome = window.outcome();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->category, 8u);
    EXPECT_EQ(outcome->result, kDumpResultNoAnswer);
    EXPECT_EQ(outcome->show, 1u);
    EXPECT_EQ(dump_outcome_text(outcome->result), "Error in communicating with the watch");
    EXPECT_EQ(window.settings_.last_com, -1);
}

TEST(DumpConversation, NoPortOrAPortThatCannotOpen) {
    struct Case {
        const char* name;
        std::string paths;
        int force_com;
        std::string debug_line;
    };
    const Case cases[] = {
        {"no candidate", "", 0, "GetCOMPort error = 0 / 2"},
        {"port cannot be opened", "/nonexistent/tty", 0, "Open COM Error / 2"},
        {"forced port missing", "/nonexistent/tty", 5, "Open COM Error / 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialLinkSettings settings;
        settings.force_com = c.force_com;
        DumpWindow window(c.paths, settings);
        // An empty list of terminals must not fall back on this machine's own ports.
        window.conversation->StartDump();
        EXPECT_EQ(window.finished, 1);
        ASSERT_EQ(window.debug_lines.size(), 1u);
        EXPECT_EQ(window.debug_lines[0], c.debug_line);
        const auto outcome = window.outcome();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->result, kDumpResultNoPort);
        EXPECT_EQ(dump_outcome_text(outcome->result), "No virtual COM port is found");
        EXPECT_FALSE(window.conversation->busy());
    }
}

TEST(DumpConversation, StatusNotAnsweredStillStartsTheDump) {
    for (WatchFault fault : {WatchFault::no_status, WatchFault::short_status}) {
        WatchSimulator watch(with_fault(fault));
        ASSERT_TRUE(watch.start());
        SerialLinkSettings settings;
        settings.debug_level = 1;
        DumpWindow window(watch.terminal_path(), settings);
        window.conversation->StartDump();
        ASSERT_TRUE(window.pump_until(kMsgWatchVersionReply));
        EXPECT_EQ(window.lines.back(), "Get version : 1.00");
        ASSERT_TRUE(watch.wait_for_requests(kCmdQueryStatus, 1, 5s));
        EXPECT_FALSE(window.conversation->dump_started());
        window.timers.advance(500ms);
        EXPECT_EQ(window.log, "Data RAM Dump\r\nRead sector 0 ...\r\n");
        EXPECT_FALSE(window.timers.is_running(kTimerStatusReply));

        // A status reply that comes late does not start the dump a second time.
        window.lines.clear();
        ASSERT_TRUE(watch.send_raw(build_frame(std::vector<uint8_t>{0x2D, 0x00, 0x01, 0x02})));
        ASSERT_TRUE(window.pump_until(kMsgWatchStatusReply));
        EXPECT_TRUE(window.lines.empty());
        window.finish();
    }
}

TEST(DumpConversation, ForcedPortIsTriedForOnePortsTurn) {
    // An empty discovered list and ForceCOM: the forced port's node comes from the numbering rule.
    testing::TempDir dev;
    WatchSimulator silent(with_fault(WatchFault::silent));
    ASSERT_TRUE(silent.start());
    std::filesystem::create_symlink(silent.terminal_path(), dev.file("ttyUSB11"));
    std::filesystem::create_directories(dev.file("sys/class/tty"));

    SerialLinkSettings settings;
    settings.force_com = 12;
    DumpWindow window("", settings);
    window.conversation.reset();
    DumpConversationOptions options;
    options.ports.use_environment = false;
    options.ports.sysfs_root = dev.file("sys");
    options.ports.dev_root = dev.path();
    options.link.settle_time = 0ms;
    options.port_pause = 0ms;
    window.conversation = std::make_unique<DumpConversation>(
        window, window.timers, window.inbox, window.main_window, window.settings_, options);

    window.conversation->StartDump();
    EXPECT_EQ(window.lines[0], "COM PORT : ");
    EXPECT_EQ(window.lines[1], "COM=12, Baud=115200");
    for (int tries = 1; tries <= 3; ++tries) {
        ASSERT_TRUE(silent.wait_for_requests(kCmdGetVersion, tries, 5s));
        window.timers.advance(500ms);
    }
    EXPECT_EQ(window.finished, 1);
    const auto outcome = window.outcome();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->result, kDumpResultNoAnswer);
}

TEST(DumpConversation, RepliesAfterTheEndAreIgnored) {
    DumpWindow window("");
    window.conversation->StartDump();
    window.main_messages();
    EXPECT_TRUE(
        window.conversation->handle(make_message(kMsgWatchVersionReply, 0, 0, std::string("1.0"))));
    EXPECT_TRUE(window.main_messages().empty());
    EXPECT_FALSE(window.timers.is_running(kTimerStatusReply));
    EXPECT_FALSE(window.conversation->handle(make_message(4058)));
}

TEST(DumpFile, HoldsOneMegabyteOfFF) {
    testing::TempDir dir;
    const std::string path = dir.file("Watch_Data_Dump.ram");
    testing::write_bytes(path, {1, 2, 3});
    ASSERT_EQ(create_dump_file(path), 0);
    const std::vector<uint8_t> bytes = testing::read_bytes(path);
    ASSERT_EQ(bytes.size(), 1048576u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xFF), 1048576);

    EXPECT_EQ(create_dump_file(dir.file("missing/folder.ram")), -2);
    EXPECT_FALSE(testing::file_exists(dir.file("missing/folder.ram")));
    EXPECT_EQ(create_dump_file(""), -1);
}

}  // namespace
}  // namespace kestrun
