#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kestrun {

// One downloaded stopwatch session: the start as recorded (year - 2000, month, day, hour, minute,
// second; local time of the stopwatch) and the cumulative lap times, each as four BCD bytes with
// the hours in the highest byte, then minutes, seconds and hundredths in the lowest.
struct StopwatchSession {
    std::array<uint8_t, 6> start{};
    std::vector<uint32_t> laps;
};

// The process-wide session table that a download fills and the end handling files. The download
// thread fills it before it reports the end; the lock keeps a reader from seeing half a table.
class SessionTable {
public:
    void clear();
    void add(StopwatchSession session);
    std::vector<StopwatchSession> snapshot() const;
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::vector<StopwatchSession> sessions_;
};

SessionTable& session_table();

}  // namespace kestrun
