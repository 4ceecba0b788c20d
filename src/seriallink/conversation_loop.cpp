#include "seriallink/conversation_loop.h"

#include <optional>

namespace kestrun {

void ConversationLoop::post(Message message) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(message));
    }
    arrived_.notify_one();
}

void ConversationLoop::start_timer(int timer_id, std::chrono::milliseconds interval,
                                   TimerTick on_tick) {
    if (interval.count() <= 0)
        interval = std::chrono::milliseconds(1);
    timers_[timer_id] = Timer{interval, Clock::now() + interval, std::move(on_tick)};
}

void ConversationLoop::stop_timer(int timer_id) {
    timers_.erase(timer_id);
}

bool ConversationLoop::run(const std::function<void(const Message&)>& handle,
                           const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        auto wake = end;
        for (const auto& [id, timer] : timers_)
            wake = std::min(wake, timer.due);

        std::optional<Message> message;
        {
            std::unique_lock lock(mutex_);
            arrived_.wait_until(lock, wake, [&] { return !queue_.empty(); });
            if (!queue_.empty()) {
                message = std::move(queue_.front());
                queue_.pop_front();
            }
        }
        if (message) {
            handle(*message);
            continue;
        }
        const auto now = Clock::now();
        // The earliest due timer; a handler may start or stop timers.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due <= now &&
                (next == timers_.end() || it->second.due < next->second.due))
                next = it;
        }
        if (next != timers_.end()) {
            next->second.due += next->second.interval;
            const int id = next->first;
            TimerTick tick = next->second.on_tick;
            tick(id);
            continue;
        }
        if (now >= end)
            return done();
    }
    return true;
}

}  // namespace kestrun
