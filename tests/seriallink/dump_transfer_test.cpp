#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/hid_transport.h"
#include "platform/timer_host.h"
#include "seriallink/dump_outcome.h"
#include "seriallink/dump_runner.h"
#include "seriallink/dump_transfer.h"
#include "seriallink/watch_messages.h"
#include "stopwatch/link_messages.h"
#include "support/message_queue.h"
#include "support/temp_dir.h"
#include "watch_simulator.h"

namespace kestrun {
namespace {

using namespace std::chrono_literals;

class RecordingView : public TransferView {
public:
    void set_caption(const std::string& text) override { caption = text; }
    void set_step_text(const std::string&) override {}
    void set_cancel_text(const std::string& text) override { cancel_text = text; }
    void set_log_text(const std::string&) override {}
    void set_progress_range(int, int) override {}
    void set_progress_position(int) override {}
    void show_window(bool) override { visible = true; }
    void hide_window() override { visible = false; }
    bool log_box_ticked() const override { return false; }

    std::string caption;
    std::string cancel_text;
    bool visible = false;
};

class RecordingOwner : public TransferOwner {
public:
    void set_enabled(bool on) override { enabled = on; }
    void post(Message message) override { messages.post(std::move(message)); }
    unsigned long window_handle() const override { return 0x1234; }

    bool enabled = true;
    testing::MessageQueue messages;
};

class NoClip : public HidTransport {
public:
    std::unique_ptr<HidConnection> open(uint16_t, uint16_t) override { return nullptr; }
};

// The transfer window's controller with the memory-dump conversation plugged in.
struct TransferWindow {
    explicit TransferWindow(const std::string& terminal_paths) {
        options.ports.terminal_paths = terminal_paths;
        options.ports.use_environment = false;
        options.link.settle_time = 0ms;
        options.port_pause = 0ms;
    }

    bool pump_until(int id) {
        for (;;) {
            auto message = inbox.take(5s);
            if (!message)
                return false;
            controller.handle(*message);
            if (message->id == id)
                return true;
        }
    }
    DumpConversation& conversation() {
        return static_cast<DumpTransfer*>(controller.conversation())->conversation();
    }

    RecordingView view;
    RecordingOwner owner;
    testing::MessageQueue main_window;
    testing::MessageQueue inbox;
    ManualTimerHost timers;
    NoClip clip;
    TransferController controller{view, main_window, inbox, timers, clip};
    SerialLinkSettings settings;
    DumpConversationOptions options;
    testing::TempDir dir;
};

TEST(MemoryDumpInTransferWindow, DumpStartsAndCancelEndsIt) {
    WatchSimulator watch;
    ASSERT_TRUE(watch.start());
    TransferWindow window(watch.terminal_path());
    const std::string path = window.dir.file("Watch_Data_Dump.ram");
    ASSERT_EQ(
        start_memory_dump(window.controller, &window.owner, path, window.settings, window.options),
        0);
    EXPECT_EQ(testing::read_bytes(path).size(), 1048576u);
    EXPECT_FALSE(window.owner.enabled);
    EXPECT_TRUE(window.view.visible);
    EXPECT_EQ(window.view.caption, "Data transfer");
    EXPECT_EQ(window.view.cancel_text, "Cancel");

    ASSERT_TRUE(window.pump_until(kMsgWatchStatusReply));
    EXPECT_EQ(window.controller.log_text(), "Data RAM Dump\r\nRead sector 0 ...\r\n");
    EXPECT_TRUE(window.view.visible);
    EXPECT_EQ(static_cast<DumpTransfer*>(window.controller.conversation())->settings().last_com, 1);

    window.controller.Cancel();
    EXPECT_TRUE(window.owner.enabled);
    EXPECT_FALSE(window.view.visible);
    const auto aborted = window.owner.messages.take(0ms);
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->id, kMsgTransferAborted);
    EXPECT_EQ(window.conversation().link(), nullptr);
    EXPECT_FALSE(window.conversation().busy());
    EXPECT_EQ(window.conversation().operation(), 0);
}

TEST(MemoryDumpInTransferWindow, SilentWatchIsReportedAndTheWindowCloses) {
    WatchSimulatorOptions silent_options;
    silent_options.faults = {WatchFault::silent};
    WatchSimulator silent(silent_options);
    ASSERT_TRUE(silent.start());
    TransferWindow window(silent.terminal_path());
    ASSERT_EQ(start_memory_dump(window.controller, &window.owner, window.dir.file("a.ram"),
                                window.settings, window.options),
              0);
    window.timers.advance(1500ms);
    EXPECT_FALSE(window.timers.is_running(kTimerVersionReply));
    EXPECT_TRUE(window.owner.enabled);
    EXPECT_FALSE(window.view.visible);
    EXPECT_NE(window.controller.log_text().find("GetVer Fail\r\nGetVer Fail\r\nGetVer Fail\r\n"
                                                "Parend hWnd = 00001234\r\n"),
              std::string::npos);
    std::optional<DumpOutcome> outcome;
    for (const Message& m : window.main_window.drain()) {
        if (auto o = read_dump_outcome(m))
            outcome = o;
    }
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->result, kDumpResultNoAnswer);
}

TEST(MemoryDumpInTransferWindow, DumpFileThatCannotBeWrittenStartsNothing) {
    TransferWindow window("");
    EXPECT_EQ(start_memory_dump(window.controller, &window.owner, window.dir.file("missing/x.ram"),
                                window.settings, window.options),
              -2);
    EXPECT_TRUE(window.owner.enabled);
    EXPECT_FALSE(window.view.visible);
    EXPECT_EQ(window.controller.conversation(), nullptr);
}

// The command line's road: its own loop with real timers, made short here.
TEST(RunMemoryDump, OutcomesWithoutAWindow) {
    WatchSimulator watch;
    WatchSimulatorOptions silent_options;
    silent_options.faults = {WatchFault::silent};
    WatchSimulator silent(silent_options);
    ASSERT_TRUE(watch.start());
    ASSERT_TRUE(silent.start());

    struct Case {
        const char* name;
        std::string paths;
        int status;
        std::string message;
        std::string printed_tail;
    };
    const Case cases[] = {
        {"dump starts", silent.terminal_path() + ":" + watch.terminal_path(), 0, "",
         "GetVer Fail\nCOM=2, Baud=115200\nRead option [128B,4k,ignore] = 2\n"
         "Data RAM Dump\nRead sector 0 ...\n"},
        {"silent watch", silent.terminal_path(), 1, "Error in communicating with the watch",
         "GetVer Fail\nGetVer Fail\nGetVer Fail\n"},
        {"no port", "", 1, "No virtual COM port is found", "COM PORT : \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        SerialLinkSettings settings;
        DumpConversationOptions options;
        options.ports.terminal_paths = c.paths;
        options.ports.use_environment = false;
        options.link.settle_time = 0ms;
        options.port_pause = 0ms;
        options.reply_wait = 40ms;
        std::string printed;
        const DumpRunResult result = run_memory_dump(
            dir.file("d.ram"), settings, [&](const std::string& text) { printed += text; },
            options);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.message, c.message);
        ASSERT_GE(printed.size(), c.printed_tail.size()) << printed;
        EXPECT_EQ(printed.substr(printed.size() - c.printed_tail.size()), c.printed_tail);
        EXPECT_EQ(testing::read_bytes(dir.file("d.ram")).size(), 1048576u);
    }

    SerialLinkSettings settings;
    EXPECT_EQ(run_memory_dump("/nonexistent/dir/d.ram", settings, [](const std::string&) {}).status,
              2);
}

}  // namespace
}  // namespace kestrun
