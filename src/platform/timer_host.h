#pragma once

#include <chrono>
#include <functional>
#include <map>

// What window timers become. A timer repeats every interval until stopped; starting a running id
// again restarts it with the new interval. Ticks arrive on the thread that owns the host (the
// user-interface thread in the program), never on a worker thread.
namespace kestrun {

using TimerTick = std::function<void(int timer_id)>;

class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual void start_timer(int timer_id, std::chrono::milliseconds interval, TimerTick on_tick) = 0;
    virtual void stop_timer(int timer_id) = 0;
};

// A clock that moves only when told: tests drive resends and conversation time-outs with it
// without sleeping.
class ManualTimerHost : public TimerHost {
public:
    void start_timer(int timer_id, std::chrono::milliseconds interval, TimerTick on_tick) override;
    void stop_timer(int timer_id) override;

    // Moves time forward, firing every tick that falls due, in time order.
    void advance(std::chrono::milliseconds step);
    bool is_running(int timer_id) const { return timers_.count(timer_id) != 0; }
    std::chrono::milliseconds now() const { return now_; }

private:
    struct Timer {
        std::chrono::milliseconds interval;
        std::chrono::milliseconds due;
        TimerTick on_tick;
    };
    std::map<int, Timer> timers_;
    std::chrono::milliseconds now_{0};
};

}  // namespace kestrun
