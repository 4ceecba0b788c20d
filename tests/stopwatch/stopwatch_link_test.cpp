#include "stopwatch/stopwatch_link.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>

#include "clip_fixture.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/packet_log.h"
#include "support/message_queue.h"

namespace kestrun {
namespace {

using namespace std::chrono_literals;
using testing::fast_timing;
using testing::MessageQueue;
using testing::SimulatedClip;

const char kTwoSessions[] =
    "id 4B 53 01 07\n"
    "session 2011-02-07 08:25:50\n"
    "laps 12 0:01:00.00\n"
    "session 2011-02-08 09:00:00\n"
    "lap 0:10:00.00\n";

struct LinkFixture : ::testing::Test {
    MessageQueue owner;
    ManualTimerHost timers;
};

TEST_F(LinkFixture, HandshakesAndReadsTheStopwatchMemory) {
    SimulatedClip clip(kTwoSessions);
    StopwatchLink link(owner, timers, clip.transport(), fast_timing());
    ASSERT_TRUE(link.Connect());
    EXPECT_TRUE(link.Handshake());
    EXPECT_TRUE(owner.wait_for(kMsgHandshakeAnswered, 1s).has_value());

    uint8_t id[4];
    ReadResult result = link.ReadMemory(0x000C, 4, id);
    ASSERT_EQ(result.result, 0);
    EXPECT_EQ(std::vector<uint8_t>(id, id + 4), (std::vector<uint8_t>{0x4B, 0x53, 0x01, 0x07}));

    uint8_t piece[40];
    result = link.ReadMemory(0x0640, 40, piece);
    ASSERT_EQ(result.result, 0);
    EXPECT_TRUE(std::equal(piece, piece + 40, clip.image().begin() + 0x0640));
}

TEST_F(LinkFixture, NoClipMeansConnectFails) {
    SimClipTransport nowhere("/nonexistent/clip.sock");
    StopwatchLink link(owner, timers, nowhere, fast_timing());
    EXPECT_FALSE(link.Connect());
    EXPECT_FALSE(link.connected());
}

// The clip spoils its answer to the second read; the read ends with the error and the next one
// works again.
struct FaultCase {
    clipsim::FaultKind kind;
    uint16_t error;
};

class FaultedRead : public LinkFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultedRead, EndsWithTheErrorAndTheLinkRecovers) {
    SimulatedClip clip(kTwoSessions, {{GetParam().kind, 2}});
    StopwatchLink link(owner, timers, clip.transport(), fast_timing());
    ASSERT_TRUE(link.Connect());
    uint8_t bytes[12];
    ASSERT_EQ(link.ReadMemory(0, 12, bytes).result, 0);

    const ReadResult spoiled = link.ReadMemory(0, 12, bytes);
    EXPECT_EQ(spoiled.result, -1);
    EXPECT_EQ(spoiled.error_code, GetParam().error);

    EXPECT_EQ(link.ReadMemory(16, 12, bytes).result, 0);
    EXPECT_TRUE(std::equal(bytes, bytes + 12, clip.image().begin() + 16));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultedRead,
    ::testing::Values(FaultCase{clipsim::FaultKind::kSilent, kReadErrorTimeout},
                      FaultCase{clipsim::FaultKind::kLate, kReadErrorTimeout},
                      FaultCase{clipsim::FaultKind::kChecksum, kReadErrorTimeout},
                      FaultCase{clipsim::FaultKind::kRepeat, kReadErrorTimeout},
                      FaultCase{clipsim::FaultKind::kLong, kReadErrorTimeout},
                      FaultCase{clipsim::FaultKind::kShort, kReadErrorLength}));

TEST_F(LinkFixture, StopRequestDuringAReadEndsItWithTheAbortCode) {
    SimulatedClip clip(kTwoSessions, {{clipsim::FaultKind::kSilent, 1}});
    LinkTiming timing = fast_timing();
    timing.read_timeout = 60s;
    StopwatchLink link(owner, timers, clip.transport(), timing);
    ASSERT_TRUE(link.Connect());
    auto read = std::async(std::launch::async, [&link] {
        uint8_t bytes[4];
        return link.ReadMemory(0, 4, bytes);
    });
    while (clip.server().reports_received() == 0)
        std::this_thread::sleep_for(1ms);
    link.StopDownload();
    const ReadResult result = read.get();
    EXPECT_EQ(result.result, -1);
    EXPECT_EQ(result.error_code, kReadErrorAborted);
}

TEST_F(LinkFixture, UnpluggedClipFailsReadsAtOnceInsteadOfWaitingOutTheTimeOut) {
    SimulatedClip clip(kTwoSessions, {{clipsim::FaultKind::kUnplug, 2}});
    LinkTiming timing = fast_timing();
    timing.read_timeout = 60s;
    StopwatchLink link(owner, timers, clip.transport(), timing);
    ASSERT_TRUE(link.Connect());
    uint8_t bytes[4];
    ASSERT_EQ(link.ReadMemory(0, 4, bytes).result, 0);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(link.ReadMemory(0, 4, bytes).error_code, kReadErrorTimeout);
    EXPECT_EQ(link.ReadMemory(0, 4, bytes).error_code, kReadErrorTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
    EXPECT_TRUE(clip.server().unplugged());
    // A link whose clip went away opens it anew, and the clip is not there.
    EXPECT_FALSE(link.Connect());
    EXPECT_FALSE(link.connected());
}

TEST_F(LinkFixture, RefusesOversizedRequestsAndReports) {
    SimulatedClip clip(kTwoSessions);
    StopwatchLink link(owner, timers, clip.transport(), fast_timing());
    ASSERT_TRUE(link.Connect());
    const std::vector<uint8_t> data(45, 0);
    EXPECT_TRUE(link.SendRequest(RequestType::kRawCommand, 3, std::span(data).first(44)));
    EXPECT_FALSE(link.SendRequest(RequestType::kRawCommand, 3, data));

    HidDevice device;
    ASSERT_TRUE(device.Open(clip.transport(), kClipVendorId, kClipProductId));
    EXPECT_FALSE(device.SendReport({}));
    EXPECT_TRUE(device.SendReport(std::vector<uint8_t>(47, 1)));
    EXPECT_FALSE(device.SendReport(std::vector<uint8_t>(48, 1)));
    device.Close();
    EXPECT_FALSE(device.SendReport(std::vector<uint8_t>(1, 0x64)));
}

TEST_F(LinkFixture, ResendsOnTheOwnersTimerUntilTheSendsAreUsed) {
    SimulatedClip clip(kTwoSessions, {{clipsim::FaultKind::kSilent, 1},
                                      {clipsim::FaultKind::kSilent, 2},
                                      {clipsim::FaultKind::kSilent, 3}});
    StopwatchLink link(owner, timers, clip.transport(), fast_timing());
    ASSERT_TRUE(link.Connect());
    const uint8_t data[] = {0x01};
    ASSERT_TRUE(link.SendRequest(RequestType::kSegmentAddress, kCommandClip, data, 2));
    timers.advance(500ms);
    timers.advance(500ms);
    timers.advance(500ms);
    timers.advance(2000ms);
    for (int i = 0; i < 200 && clip.server().reports_received() < 3; ++i)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(clip.server().reports_received(), 3);
    EXPECT_FALSE(owner.wait_for(kMsgSegmentAddress, 100ms).has_value());
}

TEST_F(LinkFixture, SegmentAddressAnswerIsPostedToTheOwner) {
    SimulatedClip clip(kTwoSessions);
    StopwatchLink link(owner, timers, clip.transport(), fast_timing());
    ASSERT_TRUE(link.Connect());
    const uint8_t data[] = {0x01};
    ASSERT_TRUE(link.SendRequest(RequestType::kSegmentAddress, kCommandClip, data));
    const auto answer = owner.wait_for(kMsgSegmentAddress, 2s);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->wparam, clipsim::ClipDevice::kSegmentAddress);
}

TEST_F(LinkFixture, PacketLoggingCopiesReportsToThePacketDialogAndEndsWithTheLink) {
    SimulatedClip clip(kTwoSessions);
    MessageQueue dialog;
    packet_log().set_dialog(&dialog);
    packet_log().set_logging(true);
    {
        StopwatchLink link(owner, timers, clip.transport(), fast_timing());
        ASSERT_TRUE(link.Connect());
        uint8_t id[4];
        ASSERT_EQ(link.ReadMemory(0x000C, 4, id).result, 0);

        const auto sent = dialog.wait_for(kMsgPacketSent, 1s);
        ASSERT_TRUE(sent.has_value());
        // Sequence 0, length 5, 03 02 0C 00 04, checksum.
        EXPECT_EQ(*sent->bytes(),
                  (std::vector<uint8_t>{0x00, 0x05, 0x03, 0x02, 0x0C, 0x00, 0x04, 0x1A}));
        EXPECT_EQ(sent->lparam, 8);
        const auto received = dialog.wait_for(kMsgPacketReceived, 1s);
        ASSERT_TRUE(received.has_value());
        EXPECT_EQ(received->wparam, 1);
        EXPECT_EQ(received->bytes()->size(), 8u);
    }
    // Closing the clip switched logging off and told the dialog.
    EXPECT_FALSE(packet_log().logging());
    EXPECT_TRUE(dialog.wait_for(kMsgPacketSwitchesChanged, 1s).has_value());
    packet_log().set_dialog(nullptr);
}

// A transport whose input reports the test hands in one by one.
class ScriptedTransport : public HidTransport {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::vector<uint8_t>> reports;
        bool interrupted = false;
    };

    void push(std::vector<uint8_t> report) {
        std::lock_guard lock(shared_->mutex);
        shared_->reports.push_back(std::move(report));
        shared_->changed.notify_all();
    }

    // Waits until the receive thread has taken every report handed in.
    void wait_taken() {
        std::unique_lock lock(shared_->mutex);
        shared_->changed.wait_for(lock, std::chrono::seconds(2),
                                  [this] { return shared_->reports.empty(); });
    }

    std::unique_ptr<HidConnection> open(uint16_t, uint16_t) override {
        class Connection : public HidConnection {
        public:
            explicit Connection(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
            std::size_t input_report_length() const override { return 65; }
            std::size_t output_report_length() const override { return 65; }
            HidStatus write_report(std::span<const uint8_t>) override { return HidStatus::kOk; }
            HidStatus read_report(std::vector<uint8_t>& report,
                                  std::chrono::steady_clock::time_point deadline) override {
                std::unique_lock lock(shared_->mutex);
                if (!shared_->changed.wait_until(lock, deadline, [this] {
                        return shared_->interrupted || !shared_->reports.empty();
                    }))
                    return HidStatus::kTimeout;
                if (shared_->interrupted)
                    return HidStatus::kCancelled;
                report = std::move(shared_->reports.front());
                shared_->reports.pop_front();
                shared_->changed.notify_all();
                return HidStatus::kOk;
            }
            void interrupt() override {
                std::lock_guard lock(shared_->mutex);
                shared_->interrupted = true;
                shared_->changed.notify_all();
            }

        private:
            std::shared_ptr<Shared> shared_;
        };
        shared_->interrupted = false;
        return std::make_unique<Connection>(shared_);
    }

private:
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

// A segment-address answer (04 lo hi) with the given sequence number.
std::vector<uint8_t> answer(uint8_t sequence, bool good_checksum = true, uint8_t length = 3) {
    std::vector<uint8_t> report(65, 0);
    report[1] = sequence;
    report[2] = length;
    report[3] = 0x04;
    report[4] = 0x40;
    report[5] = 0x06;
    report[length + 3] =
        static_cast<uint8_t>(report_checksum(report, length) + (good_checksum ? 0 : 1));
    return report;
}

struct SequenceCase {
    const char* name;
    ReceiveRules rules;
    std::vector<std::vector<uint8_t>> reports;
    bool last_dispatched;
};

class SequenceRules : public LinkFixture, public ::testing::WithParamInterface<SequenceCase> {};

// Every report but the last is sent ahead; the last one answers a fresh request, and the case
// says whether that answer gets through.
TEST_P(SequenceRules, DecideWhichReportIsDispatched) {
    ScriptedTransport transport;
    LinkTiming timing = fast_timing(GetParam().rules);
    timing.handshake_answer = 10ms;  // the closing handshake goes unanswered here
    StopwatchLink link(owner, timers, transport, timing);
    ASSERT_TRUE(link.Connect());
    const uint8_t data[] = {0x01};
    const auto& reports = GetParam().reports;
    for (std::size_t i = 0; i + 1 < reports.size(); ++i) {
        // Only a request waiting for an answer lets one through; none waits for these.
        transport.push(reports[i]);
    }
    transport.wait_taken();
    // Taken, and handled a moment later.
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(link.SendRequest(RequestType::kSegmentAddress, kCommandClip, data));
    transport.push(reports.back());
    EXPECT_EQ(owner.wait_for(kMsgSegmentAddress, 200ms).has_value(), GetParam().last_dispatched);
}

INSTANTIATE_TEST_SUITE_P(
    BothModes, SequenceRules,
    ::testing::Values(
        SequenceCase{"polling_first_report_with_sequence_0_is_taken_for_a_repeat",
                     ReceiveRules::kPolling,
                     {answer(0)},
                     false},
        SequenceCase{"overlapped_first_report_is_never_skipped",
                     ReceiveRules::kOverlapped,
                     {answer(0)},
                     true},
        SequenceCase{"polling_repeat_of_an_accepted_sequence_is_dropped",
                     ReceiveRules::kPolling,
                     {answer(5), answer(5)},
                     false},
        SequenceCase{"overlapped_repeat_is_dropped",
                     ReceiveRules::kOverlapped,
                     {answer(5), answer(5)},
                     false},
        SequenceCase{"polling_keeps_no_sequence_of_a_bad_checksum",
                     ReceiveRules::kPolling,
                     {answer(5, false), answer(5)},
                     true},
        SequenceCase{"overlapped_keeps_the_sequence_of_a_bad_checksum",
                     ReceiveRules::kOverlapped,
                     {answer(5, false), answer(5)},
                     false},
        SequenceCase{"new_sequence_is_taken", ReceiveRules::kPolling, {answer(5), answer(6)}, true},
        SequenceCase{
            "bad_checksum_is_dropped", ReceiveRules::kOverlapped, {answer(7, false)}, false},
        SequenceCase{
            "length_above_44_is_dropped", ReceiveRules::kPolling, {answer(8, true, 45)}, false}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

}  // namespace
}  // namespace kestrun
