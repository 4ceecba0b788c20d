#include "platform/timer_host.h"

namespace kestrun {

void ManualTimerHost::start_timer(int timer_id, std::chrono::milliseconds interval,
                                  TimerTick on_tick) {
    if (interval.count() <= 0) interval = std::chrono::milliseconds(1);
    timers_[timer_id] = Timer{interval, now_ + interval, std::move(on_tick)};
}

void ManualTimerHost::stop_timer(int timer_id) { timers_.erase(timer_id); }

void ManualTimerHost::advance(std::chrono::milliseconds step) {
    const auto end = now_ + step;
    for (;;) {
        // The earliest due timer; ties go to the lower id. Handlers may start or stop timers.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due))
                next = it;
        }
        if (next == timers_.end()) break;
        now_ = next->second.due;
        next->second.due += next->second.interval;
        int id = next->first;
        TimerTick tick = next->second.on_tick;
        tick(id);
    }
    now_ = end;
}

}  // namespace kestrun
