#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// What a window message becomes: a core object posts a Message to a MessageSink instead of a
// window. The payload travels with the message and belongs to whoever holds it, so nothing leaks
// when a window is gone.
namespace kestrun {

using MessagePayload = std::variant<std::monostate, std::string, std::vector<uint8_t>>;

struct Message {
    int id = 0;
    int64_t wparam = 0;
    int64_t lparam = 0;
    MessagePayload payload;

    const std::string* text() const { return std::get_if<std::string>(&payload); }
    const std::vector<uint8_t>* bytes() const { return std::get_if<std::vector<uint8_t>>(&payload); }
};

// Implementations must accept posts from any thread. The Qt side queues onto the user-interface
// thread; tests queue into a list they can wait on.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void post(Message message) = 0;
};

inline Message make_message(int id, int64_t wparam = 0, int64_t lparam = 0,
                            MessagePayload payload = {}) {
    return Message{id, wparam, lparam, std::move(payload)};
}

}  // namespace kestrun
