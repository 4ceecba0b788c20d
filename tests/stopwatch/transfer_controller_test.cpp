#include "stopwatch/transfer_controller.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "stopwatch/packet_log.h"
#include "support/temp_dir.h"
#include "transfer_fixture.h"
#include "workout/stopwatch_session.h"

namespace kestrun {
namespace {

using namespace std::chrono_literals;
using testing::SimulatedClip;
using testing::TransferRig;

const char kTwoSessions[] =
    "session 2011-02-07 08:25:50 number 7\n"
    "laps 12 0:01:00.00\n"
    "session 2011-02-08 09:00:00 number 8\n"
    "lap 0:10:00.00\n";

std::vector<int> ids_of(const std::vector<Message>& messages) {
    std::vector<int> ids;
    for (const Message& m : messages)
        ids.push_back(m.id);
    return ids;
}

TEST(TransferController, DownloadRelaysTheEndAndLeavesTheBarFullAndTheOwnerEnabled) {
    SimulatedClip clip(kTwoSessions);
    testing::TempDir data;
    TransferOptions options;
    options.data_path = [&data] { return data.path(); };
    TransferRig rig(clip.transport(), options);
    rig.view.ticked = true;

    rig.controller->StartDownload();
    EXPECT_EQ(rig.view.caption, "Data transfer");
    EXPECT_EQ(rig.view.step, "Reading data ...");
    EXPECT_FALSE(rig.owner.enabled);
    rig.pump();

    const auto results = rig.results();
    ASSERT_EQ(ids_of(results), std::vector<int>{kMsgDownloadEnded});
    EXPECT_EQ(results[0].wparam, 1);
    EXPECT_FALSE(rig.view.shown);
    EXPECT_TRUE(rig.owner.enabled);
    EXPECT_EQ(rig.controller->link(), nullptr);
    EXPECT_EQ(rig.view.high, 313);
    EXPECT_EQ(rig.view.position, 313);
    EXPECT_EQ(session_table().size(), 2u);

    const std::string log =
        "Start download ...\r\nSegment 7 , Lap = 12\r\nSegment 8 , Lap = 1\r\n"
        "Parend hWnd = 00001234\r\n";
    EXPECT_EQ(rig.controller->log_text(), log);
    EXPECT_EQ(rig.view.log, log);
    // The ticked box saves the log as UTF-16LE without a byte-order mark.
    const auto bytes = testing::read_bytes(data.file("OSDlg_dbg.txt"));
    ASSERT_EQ(bytes.size(), log.size() * 2);
    EXPECT_EQ(bytes[0], 'S');
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(utf16le_bytes_to_utf8(bytes.data(), bytes.size()), log);
}

TEST(TransferController, NoClipTellsTheResultWindowAndCloses) {
    SimClipTransport nowhere("/nonexistent/clip.sock");
    testing::TempDir data;
    TransferOptions options;
    options.data_path = [&data] { return data.path(); };
    TransferRig rig(nowhere, options);
    rig.controller->StartDownload();

    const auto results = rig.results();
    ASSERT_EQ(ids_of(results), std::vector<int>{kMsgTransferNotice});
    EXPECT_EQ(results[0].wparam, kNoticeNoStopwatch);
    EXPECT_FALSE(rig.view.shown);
    EXPECT_TRUE(rig.owner.enabled);
    // The box was not ticked: no log file.
    EXPECT_FALSE(testing::file_exists(data.file("OSDlg_dbg.txt")));
}

TEST(TransferController, EmptyStopwatchClosesOnTheNoSessionNotice) {
    SimulatedClip clip("id 01 02 03 04\n");
    TransferRig rig(clip.transport());
    rig.controller->StartDownload();
    rig.pump();
    const auto results = rig.results();
    ASSERT_EQ(ids_of(results), std::vector<int>{kMsgTransferNotice});
    EXPECT_EQ(results[0].wparam, kNoticeNoSession);
    EXPECT_FALSE(rig.view.shown);
}

TEST(TransferController, ClipTimeOutInTheDirectoryRelaysTheNoticeThenTheFailure) {
    // Report 1 is the handshake, 2 the identification read, 3 the first directory read.
    SimulatedClip clip(kTwoSessions, {{clipsim::FaultKind::kSilent, 3}});
    TransferRig rig(clip.transport());
    rig.controller->StartDownload();
    rig.pump();
    const auto results = rig.results();
    ASSERT_EQ(ids_of(results), (std::vector<int>{kMsgTransferNotice, kMsgDownloadEnded}));
    EXPECT_EQ(results[0].wparam, kNoticeClipTimeout);
    EXPECT_EQ(results[1].wparam, 0);
    EXPECT_FALSE(rig.view.shown);
    EXPECT_EQ(rig.view.position, rig.view.high);
}

TEST(TransferController, CancelDuringTheLapsEndsWithoutAnEndMessage) {
    // 400 lap reads of 2 ms each: the cancel comes in their middle.
    std::string scenario = "session 2011-03-01 10:00:00 blocks 1\nlaps 200 0:00:05.00\n";
    SimulatedClip clip(scenario, {}, 1800ms, 2ms);
    TransferRig rig(clip.transport());
    rig.controller->StartDownload();
    // Wait for the first lap step after the directory scan's 100 steps.
    int steps = 0;
    while (steps < 110) {
        auto message = rig.inbox.take(5s);
        ASSERT_TRUE(message.has_value());
        rig.controller->handle(*message);
        steps += message->id == kMsgProgressStep;
    }
    rig.controller->Cancel();
    EXPECT_EQ(ids_of(rig.owner.posted), std::vector<int>{kMsgTransferAborted});
    EXPECT_TRUE(rig.owner.enabled);
    EXPECT_FALSE(rig.view.shown);
    // What the stopped thread posted before it ended is left unanswered.
    for (const Message& m : rig.inbox.drain())
        rig.controller->handle(m);
    EXPECT_TRUE(rig.results().empty());
    // The thread stopped before it handed over any session: nothing can be filed.
    EXPECT_EQ(session_table().size(), 0u);
    EXPECT_LT(clip.server().reports_received(), 300);
}

TEST(TransferController, RangeIsTakenAsSixteenBitValues) {
    SimulatedClip clip(kTwoSessions);
    TransferRig rig(clip.transport());
    ASSERT_EQ(rig.controller->EnsureLink(), 0);
    rig.controller->handle(make_message(kMsgProgressRange, 0x10002, 70000));
    EXPECT_EQ(rig.view.low, 2);
    EXPECT_EQ(rig.view.high, 70000 - 65536);
}

TEST(TransferController, DebugLevelDecidesWhetherTheLogShows) {
    SimClipTransport nowhere("/nonexistent/clip.sock");
    for (int level : {0, 1, 2}) {
        TransferOptions options;
        options.debug_level = [level] { return level; };
        TransferRig rig(nowhere, options);
        rig.controller->ShowAndDisableOwner();
        EXPECT_EQ(rig.view.full_height, level != 0) << level;
    }
}

TEST(TransferController, PacketLoggingSwitchSurvivesTheLinkReplacement) {
    SimulatedClip clip("id 01 02 03 04\n");
    testing::MessageQueue dialog;
    packet_log().set_dialog(&dialog);
    TransferRig rig(clip.transport());
    ASSERT_EQ(rig.controller->EnsureLink(), 0);
    packet_log().set_logging(true);

    rig.controller->StartDownload();
    EXPECT_TRUE(packet_log().logging());
    EXPECT_TRUE(dialog.wait_for(kMsgPacketSwitchesChanged, 1s).has_value());
    rig.pump();

    // Destroying a connected link on its own switches logging off.
    ASSERT_EQ(rig.controller->EnsureLink(), 0);
    packet_log().set_logging(true);
    rig.controller->DestroyLink();
    EXPECT_FALSE(packet_log().logging());
    packet_log().set_dialog(nullptr);
}

TEST(TransferController, ConversationIsEndedByFinishAndReleaseAndGetsOtherMessages) {
    struct Conversation : TransferConversation {
        int finished = 0, released = 0;
        std::vector<int> handled;
        void on_finish() override { ++finished; }
        void on_release() override { ++released; }
        bool handle(const Message& message) override {
            handled.push_back(message.id);
            return true;
        }
    };
    SimClipTransport nowhere("/nonexistent/clip.sock");
    TransferRig rig(nowhere);
    auto owned = std::make_unique<Conversation>();
    Conversation& conversation = *owned;
    rig.controller->set_conversation(std::move(owned));

    rig.controller->handle(make_message(3028));
    EXPECT_EQ(conversation.handled, std::vector<int>{3028});
    rig.controller->ReplaceLog("Data RAM Dump\r\n");
    rig.controller->Cancel();
    EXPECT_EQ(conversation.finished, 1);
    EXPECT_EQ(rig.controller->log_text(), "Data RAM Dump\r\nParend hWnd = 00001234\r\n");
    rig.controller->Release();
    EXPECT_EQ(conversation.released, 1);
}

}  // namespace
}  // namespace kestrun
