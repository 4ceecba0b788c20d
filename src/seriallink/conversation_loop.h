#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/message.h"
#include "platform/timer_host.h"

// A window's queue and timers without a window: messages posted from any thread and timers on the
// steady clock, both handled on the thread that runs the loop. The command line runs the
// memory-dump conversation on it.
namespace kestrun {

class ConversationLoop : public MessageSink, public TimerHost {
public:
    void post(Message message) override;
    // Timers are started and stopped on the loop's thread.
    void start_timer(int timer_id, std::chrono::milliseconds interval, TimerTick on_tick) override;
    void stop_timer(int timer_id) override;

    // Hands each message to `handle` and fires due timers, in arrival and time order, until
    // `done` is true or `limit` has passed. True when `done` ended it.
    bool run(const std::function<void(const Message&)>& handle, const std::function<bool()>& done,
             std::chrono::milliseconds limit);

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds interval;
        Clock::time_point due;
        TimerTick on_tick;
    };

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Message> queue_;
    std::map<int, Timer> timers_;  // loop thread only
};

}  // namespace kestrun
