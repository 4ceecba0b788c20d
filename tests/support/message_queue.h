#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/message.h"

namespace kestrun::testing {

// A MessageSink that keeps every message posted to it, from any thread, for a test to wait on.
class MessageQueue : public MessageSink {
public:
    void post(Message message) override;

    // Takes the oldest message, waiting up to `timeout` for one.
    std::optional<Message> take(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Takes messages until one with `id` arrives (the skipped ones are kept in skipped()).
    std::optional<Message> wait_for(int id, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    std::vector<Message> drain();
    const std::vector<Message>& skipped() const { return skipped_; }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Message> queue_;
    std::vector<Message> skipped_;
};

}  // namespace kestrun::testing
