#include "stopwatch/stopwatch_link.h"

#include <algorithm>
#include <optional>

#include "stopwatch/download.h"
#include "stopwatch/full_read.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/packet_log.h"

namespace kestrun {

namespace {

using Clock = std::chrono::steady_clock;

// Window-timer ids of the resend timers, one per link, clear of the windows' own timer ids.
int next_timer_id() {
    static std::atomic<int> next{60000};
    return next.fetch_add(1);
}

}  // namespace

StopwatchLink::StopwatchLink(MessageSink& owner, TimerHost& timers, HidTransport& transport,
                             LinkTiming timing)
    : owner_(owner),
      timers_(timers),
      transport_(transport),
      timing_(timing),
      timer_id_(next_timer_id()) {}

StopwatchLink::~StopwatchLink() {
    timers_.stop_timer(timer_id_);
    if (connected())
        Handshake();
    stop_worker();
    if (connected())
        Disconnect();
}

bool StopwatchLink::connected() const {
    return connected_.load();
}

bool StopwatchLink::Connect() {
    if (connected()) {
        bool lost;
        {
            std::lock_guard lock(response_mutex_);
            lost = device_lost_;
        }
        if (!lost)
            return true;
        // The clip went away since: open it anew.
        Disconnect();
    }
    device_ = std::make_unique<HidDevice>();
    if (!device_->Open(transport_, kClipVendorId, kClipProductId)) {
        device_.reset();
        return false;
    }
    last_sequence_ = timing_.rules == ReceiveRules::kPolling ? 0 : -1;
    {
        std::lock_guard lock(response_mutex_);
        device_lost_ = false;
        abort_ = false;
    }
    stop_receive_.store(false);
    connected_.store(true);
    receive_thread_ = std::thread([this] { receive_loop(); });
    std::this_thread::sleep_for(timing_.after_connect);
    return true;
}

void StopwatchLink::Disconnect() {
    if (!device_)
        return;
    stop_worker();
    stop_receive_.store(true);
    device_->Interrupt();
    if (receive_thread_.joinable())
        receive_thread_.join();
    std::this_thread::sleep_for(timing_.after_disconnect);
    connected_.store(false);
    device_->Close();
    device_.reset();
}

bool StopwatchLink::Handshake() {
    std::this_thread::sleep_for(timing_.before_handshake);
    last_answer_code_.store(0);
    const uint8_t none = 0;
    if (!SendRequest(RequestType::kHandshake, kCommandHandshake,
                     std::span<const uint8_t>(&none, 0)))
        return false;
    bool answered;
    {
        std::unique_lock lock(response_mutex_);
        answered = response_changed_.wait_until(
            lock, Clock::now() + timing_.handshake_answer,
            [this] { return last_answer_code_.load() != 0 || device_lost_; });
        answered = answered && last_answer_code_.load() != 0;
    }
    if (answered)
        std::this_thread::sleep_for(timing_.after_handshake);
    return answered;
}

bool StopwatchLink::SendRequest(RequestType type, uint8_t command_code,
                                std::span<const uint8_t> data, int retries) {
    if (data.size() > kMaxRequestData)
        return false;
    {
        std::lock_guard lock(pending_mutex_);
        pending_.type = type;
        pending_.payload[0] = command_code;
        std::copy(data.begin(), data.end(), pending_.payload.begin() + 1);
        pending_.length = data.size() + 1;
        pending_.sends_left = std::max(retries, 0) + 1;
    }
    const bool sent = send_pending();
    if (retries > 0) {
        timers_.start_timer(timer_id_, timing_.resend_interval, [this](int) { resend_tick(); });
    }
    return sent;
}

bool StopwatchLink::send_pending() {
    std::array<uint8_t, kMaxRequestData + 1> payload;
    std::size_t length;
    {
        std::lock_guard lock(pending_mutex_);
        if (pending_.type == RequestType::kNone || pending_.sends_left <= 0)
            return false;
        payload = pending_.payload;
        length = pending_.length;
        --pending_.sends_left;
    }
    return device_ && device_->SendReport(std::span<const uint8_t>(payload.data(), length));
}

void StopwatchLink::resend_tick() {
    bool resend;
    {
        std::lock_guard lock(pending_mutex_);
        resend = pending_.type != RequestType::kNone && pending_.sends_left > 0;
        // The last send has had its interval to be answered: the request expires.
        if (!resend)
            pending_ = PendingRequest{};
    }
    if (resend) {
        send_pending();
    } else {
        timers_.stop_timer(timer_id_);
    }
}

void StopwatchLink::receive_loop() {
    std::vector<uint8_t> report;
    while (!stop_receive_.load()) {
        // A long deadline: the wait ends with a report, an interrupt or a vanished device.
        const HidStatus status = device_->ReadReport(report, Clock::now() + std::chrono::hours(1));
        if (status == HidStatus::kTimeout)
            continue;
        if (status == HidStatus::kOk) {
            accept_report(report);
            continue;
        }
        if (status != HidStatus::kCancelled) {
            // The clip is gone: a waiting read must not sit out its whole time-out for an
            // answer that cannot come.
            std::lock_guard lock(response_mutex_);
            device_lost_ = true;
            response_changed_.notify_all();
        }
        break;
    }
}

void StopwatchLink::accept_report(const std::vector<uint8_t>& report) {
    if (report.size() < 3)
        return;
    const int sequence = report[1];
    const std::size_t length = report[2];
    if (sequence == last_sequence_)
        return;
    if (timing_.rules == ReceiveRules::kOverlapped)
        last_sequence_ = sequence;
    if (length > kMaxAnswerPayload || report.size() < length + 4)
        return;
    const bool checksum_ok = report_checksum(report, length) == report[length + 3];
    if (packet_log().logging() && packet_log().receive_logging()) {
        std::vector<uint8_t> copy(report.begin() + 1,
                                  report.begin() + static_cast<long>(length) + 4);
        packet_log().post(make_message(kMsgPacketReceived, checksum_ok ? 1 : 0,
                                       static_cast<int64_t>(length + 3), std::move(copy)));
    }
    if (!checksum_ok)
        return;
    last_sequence_ = sequence;
    dispatch(report.data() + 3, length);
}

void StopwatchLink::dispatch(const uint8_t* payload, std::size_t length) {
    if (length == 0)
        return;
    bool fill = false;
    std::optional<Message> to_owner;
    {
        std::lock_guard pending_lock(pending_mutex_);
        switch (pending_.type) {
            case RequestType::kHandshake:
                if (payload[0] == kAnswerHandshake && length == 1) {
                    pending_ = PendingRequest{};
                    to_owner = make_message(kMsgHandshakeAnswered);
                }
                break;
            case RequestType::kSegmentAddress:
                if (payload[0] == kAnswerClip && length == 3) {
                    if (synchronous_.load()) {
                        fill = true;
                    } else {
                        pending_ = PendingRequest{};
                        to_owner = make_message(kMsgSegmentAddress, payload[1] + 256 * payload[2]);
                    }
                }
                break;
            case RequestType::kMemoryRead:
                // Only ReadMemory asks for memory, and it waits for the answer in the buffer.
                // Answered: a second copy of the answer must not count for the next read.
                if (payload[0] == kAnswerClip) {
                    pending_ = PendingRequest{};
                    fill = true;
                }
                break;
            case RequestType::kRawCommand:
            case RequestType::kNone:
                break;
        }
    }
    {
        std::lock_guard lock(response_mutex_);
        last_answer_code_.store(payload[0]);
        if (fill) {
            std::copy(payload + 1, payload + length, response_.begin());
            response_count_ = length - 1;
            data_arrived_ = true;
        }
    }
    // One wake-up per answer, after the lock is free, so the waiting read runs at once.
    response_changed_.notify_all();
    if (to_owner)
        owner_.post(std::move(*to_owner));
}

ReadResult StopwatchLink::ReadMemory(uint16_t address, uint8_t count, uint8_t* out) {
    if (count == 0 || count > kMaxReadCount || out == nullptr)
        return {-1, kReadErrorLength};
    {
        std::lock_guard lock(response_mutex_);
        response_.fill(0xFF);
        response_count_ = 0;
        data_arrived_ = false;
        if (abort_)
            return {-1, kReadErrorAborted};
        if (device_lost_)
            return {-1, kReadErrorTimeout};
    }
    const uint8_t request[] = {0x02, static_cast<uint8_t>(address & 0xFF),
                               static_cast<uint8_t>(address >> 8), count};
    if (!SendRequest(RequestType::kMemoryRead, kCommandClip, request)) {
        // Nothing went out, so no answer can come.
        return {-1, kReadErrorTimeout};
    }
    std::unique_lock lock(response_mutex_);
    response_changed_.wait_until(lock, Clock::now() + timing_.read_timeout,
                                 [this] { return data_arrived_ || abort_ || device_lost_; });
    if (data_arrived_) {
        if (response_count_ != count)
            return {-1, kReadErrorLength};
        std::copy(response_.begin(), response_.begin() + count, out);
        return {0, 0};
    }
    if (abort_)
        return {-1, kReadErrorAborted};
    return {-1, kReadErrorTimeout};
}

void StopwatchLink::start_worker(std::function<void()> body) {
    stop_worker();
    {
        std::lock_guard lock(response_mutex_);
        abort_ = false;
    }
    synchronous_.store(true);
    worker_ = std::thread([this, body = std::move(body)] {
        body();
        synchronous_.store(false);
    });
}

void StopwatchLink::stop_worker() {
    // Also a read waiting on a thread of the caller's own ends with the abort code.
    {
        std::lock_guard lock(response_mutex_);
        abort_ = true;
        response_changed_.notify_all();
    }
    if (!worker_.joinable())
        return;
    worker_.join();
    synchronous_.store(false);
}

void StopwatchLink::StartDownload() {
    start_worker([this] {
        run_download([this](uint16_t address, uint8_t count,
                            uint8_t* out) { return ReadMemory(address, count, out); },
                     owner_, session_table());
    });
}

void StopwatchLink::StopDownload() {
    stop_worker();
}

void StopwatchLink::StartFullRead(int pause_ms) {
    start_worker([this, pause_ms] {
        run_full_read(
            [this](uint16_t address, uint8_t count, uint8_t* out) {
                return ReadMemory(address, count, out);
            },
            owner_, std::chrono::milliseconds(std::max(pause_ms, 0)),
            [this](std::chrono::milliseconds pause) { return pause_unless_stopped(pause); });
    });
}

void StopwatchLink::StopFullRead() {
    stop_worker();
}

bool StopwatchLink::pause_unless_stopped(std::chrono::milliseconds pause) {
    std::unique_lock lock(response_mutex_);
    return response_changed_.wait_until(lock, Clock::now() + pause, [this] { return abort_; });
}

}  // namespace kestrun
