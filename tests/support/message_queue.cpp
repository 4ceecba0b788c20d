#include "support/message_queue.h"

namespace kestrun::testing {

void MessageQueue::post(Message message) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(message));
    }
    arrived_.notify_all();
}

std::optional<Message> MessageQueue::take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [&] { return !queue_.empty(); })) return std::nullopt;
    Message message = std::move(queue_.front());
    queue_.pop_front();
    return message;
}

std::optional<Message> MessageQueue::wait_for(int id, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) return std::nullopt;
        auto message = take(left);
        if (!message) return std::nullopt;
        if (message->id == id) return message;
        skipped_.push_back(std::move(*message));
    }
}

std::vector<Message> MessageQueue::drain() {
    std::lock_guard lock(mutex_);
    std::vector<Message> all(std::make_move_iterator(queue_.begin()),
                             std::make_move_iterator(queue_.end()));
    queue_.clear();
    return all;
}

}  // namespace kestrun::testing
