#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/pty.h"
#include "seriallink/watch_packet.h"

// A GPS watch on a pseudo-terminal: it answers the version command and the status query in
// frames, and can be told to misbehave. The program opens terminal_path() as a serial port.
namespace kestrun {

enum class WatchFault {
    silent,        // answers nothing
    no_status,     // answers the version but not the status query
    short_status,  // status reply of one byte after the id
    garbage,       // random bytes before every frame
    checksum,      // wrong checksums
};

// "silent", "no-status", "short-status", "garbage", "checksum".
std::optional<WatchFault> parse_watch_fault(const std::string& name);

struct WatchSimulatorOptions {
    std::string version_text = "1.00";
    // When set, the version reply is the two 16-bit numbers form instead of a text.
    std::optional<std::pair<uint16_t, uint16_t>> version_numbers;
    std::vector<WatchFault> faults;
    // Seed of the garbage bytes, so a run can be repeated.
    uint32_t garbage_seed = 1;
};

class WatchSimulator {
public:
    explicit WatchSimulator(WatchSimulatorOptions options = {});
    ~WatchSimulator();
    WatchSimulator(const WatchSimulator&) = delete;
    WatchSimulator& operator=(const WatchSimulator&) = delete;

    // Opens the pseudo-terminal and starts answering. False when no terminal can be had.
    bool start();
    void stop();
    const std::string& terminal_path() const { return terminal_.terminal_path(); }

    // The commands received so far, by id (0x10 version, 0x2C status).
    int requests(uint8_t command_id) const;
    // Waits until `count` commands of that id have arrived; false at the time limit.
    bool wait_for_requests(uint8_t command_id, int count, std::chrono::milliseconds timeout) const;
    // Writes bytes to the program as they are, for tests of odd input.
    bool send_raw(const std::vector<uint8_t>& bytes);

    // The payload of the version reply this watch gives.
    std::vector<uint8_t> version_reply() const;
    // The whole frame of a payload as this watch sends it (with its faults).
    std::vector<uint8_t> frame_for(const std::vector<uint8_t>& payload);

private:
    bool has_fault(WatchFault fault) const;
    void serve();
    void on_command(const uint8_t* payload, std::size_t n);
    void reply(const std::vector<uint8_t>& payload);

    WatchSimulatorOptions options_;
    PseudoTerminal terminal_;
    PacketScanner scanner_;
    std::thread thread_;
    std::mutex write_mutex_;  // one frame at a time on the line
    uint32_t random_state_;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    int version_requests_ = 0;
    int status_requests_ = 0;
    int other_requests_ = 0;
};

}  // namespace kestrun
