#include "watch_simulator.h"

#include <algorithm>
#include <array>

#include "seriallink/watch_commands.h"

namespace kestrun {
namespace {

constexpr std::chrono::milliseconds kReplyWriteLimit{2000};
constexpr std::size_t kMaxGarbage = 16;

}  // namespace

std::optional<WatchFault> parse_watch_fault(const std::string& name) {
    if (name == "silent")
        return WatchFault::silent;
    if (name == "no-status")
        return WatchFault::no_status;
    if (name == "short-status")
        return WatchFault::short_status;
    if (name == "garbage")
        return WatchFault::garbage;
    if (name == "checksum")
        return WatchFault::checksum;
    return std::nullopt;
}

WatchSimulator::WatchSimulator(WatchSimulatorOptions options)
    : options_(std::move(options)),
      scanner_([this](const uint8_t* payload, std::size_t n) { on_command(payload, n); }),
      random_state_(options_.garbage_seed ? options_.garbage_seed : 1) {}

WatchSimulator::~WatchSimulator() {
    stop();
}

bool WatchSimulator::start() {
    if (thread_.joinable())
        return true;
    if (!terminal_.open())
        return false;
    scanner_.reset();
    thread_ = std::thread([this] { serve(); });
    return true;
}

void WatchSimulator::stop() {
    if (thread_.joinable()) {
        terminal_.cancel_reads();
        thread_.join();
    }
    terminal_.close();
}

bool WatchSimulator::has_fault(WatchFault fault) const {
    return std::find(options_.faults.begin(), options_.faults.end(), fault) !=
           options_.faults.end();
}

int WatchSimulator::requests(uint8_t command_id) const {
    std::lock_guard lock(mutex_);
    if (command_id == kCmdGetVersion)
        return version_requests_;
    if (command_id == kCmdQueryStatus)
        return status_requests_;
    return other_requests_;
}

bool WatchSimulator::wait_for_requests(uint8_t command_id, int count,
                                       std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    return arrived_.wait_until(lock, deadline, [&] {
        const int seen = command_id == kCmdGetVersion    ? version_requests_
                         : command_id == kCmdQueryStatus ? status_requests_
                                                         : other_requests_;
        return seen >= count;
    });
}

bool WatchSimulator::send_raw(const std::vector<uint8_t>& bytes) {
    std::lock_guard lock(write_mutex_);
    return terminal_.write(bytes.data(), bytes.size(), kReplyWriteLimit);
}

std::vector<uint8_t> WatchSimulator::version_reply() const {
    std::vector<uint8_t> payload;
    payload.reserve(kMaxVersionText + 8);
    payload.push_back(kReplyVersion);
    if (options_.version_numbers) {
        const auto [major, minor] = *options_.version_numbers;
        for (uint16_t number : {major, minor}) {
            payload.push_back(static_cast<uint8_t>(number & 0xFF));
            payload.push_back(static_cast<uint8_t>(number >> 8));
        }
        return payload;
    }
    for (char c : options_.version_text)
        payload.push_back(static_cast<uint8_t>(c));
    payload.push_back(0);
    // Five bytes in all would read as the numbers form; a second zero keeps it a text.
    if (payload.size() == 5)
        payload.push_back(0);
    return payload;
}

std::vector<uint8_t> WatchSimulator::frame_for(const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> bytes;
    if (has_fault(WatchFault::garbage)) {
        // Random bytes, but never a start byte the receiver could take for a header, so the
        // frame after them is still found.
        random_state_ = random_state_ * 1103515245u + 12345u;
        const std::size_t count = 1 + (random_state_ >> 16) % kMaxGarbage;
        for (std::size_t i = 0; i < count; ++i) {
            random_state_ = random_state_ * 1103515245u + 12345u;
            uint8_t b = static_cast<uint8_t>(random_state_ >> 16);
            if (b == kFrameStart1 || b == kFrameEnd2)
                b ^= 0x01;
            bytes.push_back(b);
        }
    }
    std::vector<uint8_t> frame = build_frame(payload);
    if (has_fault(WatchFault::checksum))
        frame[frame.size() - 3] ^= 0x01;
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

void WatchSimulator::serve() {
    std::array<uint8_t, 4200> chunk;
    for (;;) {
        std::size_t got = 0;
        const SerialStatus status = terminal_.read(chunk.data(), chunk.size(), got);
        if (status != SerialStatus::ok)
            return;
        scanner_.feed(chunk.data(), got);
    }
}

void WatchSimulator::on_command(const uint8_t* payload, std::size_t n) {
    if (n == 0)
        return;
    const uint8_t id = payload[0];
    {
        std::lock_guard lock(mutex_);
        if (id == kCmdGetVersion) {
            ++version_requests_;
        } else if (id == kCmdQueryStatus) {
            ++status_requests_;
        } else {
            ++other_requests_;
        }
    }
    arrived_.notify_all();

    if (has_fault(WatchFault::silent))
        return;
    if (id == kCmdGetVersion) {
        reply(version_reply());
    } else if (id == kCmdQueryStatus) {
        if (has_fault(WatchFault::no_status))
            return;
        if (has_fault(WatchFault::short_status)) {
            reply({kReplyStatus, 0x00});
        } else {
            reply({kReplyStatus, 0x00, 0x01, 0x00, 0x00});
        }
    }
}

void WatchSimulator::reply(const std::vector<uint8_t>& payload) {
    std::lock_guard lock(write_mutex_);
    const std::vector<uint8_t> bytes = frame_for(payload);
    (void)terminal_.write(bytes.data(), bytes.size(), kReplyWriteLimit);
}

}  // namespace kestrun
