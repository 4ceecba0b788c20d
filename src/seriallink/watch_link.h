#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/message.h"
#include "platform/serial_port.h"
#include "seriallink/watch_packet.h"

// One connection to the watch on one serial port: frames written with a time limit, and a receive
// thread that cuts the incoming bytes into frames and posts what the watch says to the owner.
namespace kestrun {

inline constexpr std::size_t kReadChunk = 4200;
inline constexpr std::chrono::milliseconds kFrameWriteLimit{5000};
inline constexpr std::chrono::milliseconds kPortSettleTime{350};

struct WatchLinkOptions {
    // The pause after opening, for the watch's bridge to settle before the first command.
    std::chrono::milliseconds settle_time = kPortSettleTime;
    std::chrono::milliseconds write_limit = kFrameWriteLimit;
    // Diagnostic lines of the receive side ("Error in header = 0xb3"); called on the receive
    // thread, so it must be safe to call from any thread.
    std::function<void(std::string_view)> diagnostic;
    // Carried in wparam of every notification, so the owner can tell a link's replies from those
    // of a link it has already given up.
    int64_t tag = 0;
};

class WatchLink {
public:
    // `owner` receives every notification, from the receive thread.
    explicit WatchLink(MessageSink& owner, WatchLinkOptions options = {});
    ~WatchLink();
    WatchLink(const WatchLink&) = delete;
    WatchLink& operator=(const WatchLink&) = delete;

    // Opens the terminal of port `com_number` with the watch's line settings, waits the settle
    // time and starts the receive thread. False when the port cannot be opened or configured.
    bool open(int com_number, const std::string& device_path);
    // Stops and joins the receive thread, then closes the port. Bytes of an unfinished frame are
    // lost.
    void close();
    bool is_open() const { return port_.is_open(); }
    int com_number() const { return com_number_; }

    // Frames the payload and writes it; true when every byte went out within the time limit.
    bool send_packet(const uint8_t* payload, std::size_t n);
    bool get_version();
    bool query_status();

    // The dispatcher, for each frame with a right checksum (on the receive thread).
    void on_packet(const uint8_t* payload, std::size_t n);

private:
    void stop_receive_thread();
    void receive_loop();

    MessageSink& owner_;
    WatchLinkOptions options_;
    SerialPort port_;
    PacketScanner scanner_;
    std::thread receive_thread_;
    int com_number_ = 0;
};

}  // namespace kestrun
