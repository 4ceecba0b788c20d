#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/hid_transport.h"
#include "platform/message.h"
#include "platform/timer_host.h"
#include "stopwatch/hid_device.h"

// One conversation with the stopwatch clip: connect, handshake, requests with resends, the
// receive thread that verifies and dispatches answers, and the synchronous memory read that the
// download and the full-memory read threads use.
namespace kestrun {

constexpr uint16_t kClipVendorId = 0x1130;
constexpr uint16_t kClipProductId = 0x0202;

constexpr uint8_t kCommandHandshake = 0x64;
constexpr uint8_t kAnswerHandshake = 0x65;
constexpr uint8_t kCommandClip = 0x03;
constexpr uint8_t kAnswerClip = 0x04;
constexpr std::size_t kMaxAnswerPayload = 44;
constexpr std::size_t kMaxRequestData = 44;
constexpr uint8_t kMaxReadCount = 40;

// Error codes of ReadMemory.
constexpr uint16_t kReadErrorTimeout = 0x1230;
constexpr uint16_t kReadErrorAborted = 0x1250;
constexpr uint16_t kReadErrorLength = 0x1270;

enum class RequestType : uint8_t {
    kNone = 0,
    kHandshake = 2,
    kSegmentAddress = 3,
    kMemoryRead = 5,
    kRawCommand = 7,
};

// Which sequence rules the receive thread applies. Polling: a report is taken when its sequence
// differs from the last accepted one (0 after open) and the sequence is remembered only after the
// checksum matched. Overlapped: the previous sequence starts at -1 and is remembered for every
// report, before the checksum test. Either way the thread waits on the device and never spins.
enum class ReceiveRules { kPolling, kOverlapped };

// The link's fixed waits. The defaults are the clip's; tests shorten them.
struct LinkTiming {
    std::chrono::milliseconds after_connect{100};
    std::chrono::milliseconds after_disconnect{100};
    std::chrono::milliseconds before_handshake{10};
    std::chrono::milliseconds handshake_answer{100};  // ten checks 10 ms apart
    std::chrono::milliseconds after_handshake{100};
    std::chrono::milliseconds read_timeout{5000};
    std::chrono::milliseconds resend_interval{500};
    ReceiveRules rules = ReceiveRules::kPolling;
};

struct ReadResult {
    int result = 0;           // 0 read; -1 failed
    uint16_t error_code = 0;  // kReadError... when failed
};

class StopwatchLink {
public:
    // `owner` receives the link's messages (the transfer window or the packet dialog); `timers`
    // are the owner's window timers, used for resends.
    StopwatchLink(MessageSink& owner, TimerHost& timers, HidTransport& transport,
                  LinkTiming timing = {});
    // Stops the resend timer, handshakes, stops the worker threads and disconnects: no thread
    // outlives the link.
    ~StopwatchLink();
    StopwatchLink(const StopwatchLink&) = delete;
    StopwatchLink& operator=(const StopwatchLink&) = delete;

    // Opens the clip and starts the receive thread. False when no clip is found.
    bool Connect();
    // Stops the receive thread and closes the clip.
    void Disconnect();
    bool connected() const;

    // Sends 64 and waits for 65. True when any answer came.
    bool Handshake();
    // Stores the pending request (command code and at most 44 data bytes) and sends it; with
    // retries the owner's timer sends it again every 500 ms. Retries are only asked for on the
    // owner's thread. False when refused or the send failed.
    bool SendRequest(RequestType type, uint8_t command_code, std::span<const uint8_t> data,
                     int retries = 0);
    // Reads `count` (1 to 40) bytes at `address` into `out`, waiting for the answer at most the
    // read time-out. Only one synchronous read runs at a time (the worker thread's).
    ReadResult ReadMemory(uint16_t address, uint8_t count, uint8_t* out);

    // The download of the stopwatch memory into the session table, on a thread of its own.
    void StartDownload();
    void StopDownload();
    // Reads the whole 8 KB memory in 40-byte pieces, pausing `pause_ms` after each.
    void StartFullRead(int pause_ms);
    void StopFullRead();

    // The first payload byte of the last dispatched answer; 0 before any.
    uint8_t last_answer_code() const { return last_answer_code_.load(); }
    MessageSink& owner() const { return owner_; }
    const LinkTiming& timing() const { return timing_; }

private:
    struct PendingRequest {
        RequestType type = RequestType::kNone;
        std::array<uint8_t, kMaxRequestData + 1> payload{};
        std::size_t length = 0;
        int sends_left = 0;
    };
    void receive_loop();
    void accept_report(const std::vector<uint8_t>& report);
    void dispatch(const uint8_t* payload, std::size_t length);
    void resend_tick();
    bool send_pending();
    // One worker thread (download or full read) at a time; it runs in synchronous mode.
    void start_worker(std::function<void()> body);
    void stop_worker();
    // Waits `pause`; true when the worker was asked to stop meanwhile.
    bool pause_unless_stopped(std::chrono::milliseconds pause);

    MessageSink& owner_;
    TimerHost& timers_;
    HidTransport& transport_;
    LinkTiming timing_;
    const int timer_id_;

    std::unique_ptr<HidDevice> device_;
    std::atomic<bool> connected_{false};

    std::thread receive_thread_;
    std::atomic<bool> stop_receive_{false};
    int last_sequence_ = 0;  // receive thread only

    std::mutex pending_mutex_;
    PendingRequest pending_;

    std::atomic<uint8_t> last_answer_code_{0};
    std::atomic<bool> synchronous_{false};

    // The response buffer and its events, under response_mutex_.
    std::mutex response_mutex_;
    std::condition_variable response_changed_;
    std::array<uint8_t, 64> response_{};
    std::size_t response_count_ = 0;
    bool data_arrived_ = false;
    bool abort_ = false;
    bool device_lost_ = false;

    std::thread worker_;
};

}  // namespace kestrun
