#include "seriallink/watch_link.h"

#include <array>
#include <vector>

#include "seriallink/watch_commands.h"
#include "seriallink/watch_messages.h"

namespace kestrun {

WatchLink::WatchLink(MessageSink& owner, WatchLinkOptions options)
    : owner_(owner),
      options_(std::move(options)),
      scanner_([this](const uint8_t* payload, std::size_t n) { on_packet(payload, n); },
               [this](std::string_view line) {
                   if (options_.diagnostic)
                       options_.diagnostic(line);
               }) {}

WatchLink::~WatchLink() {
    close();
}

bool WatchLink::open(int com_number, const std::string& device_path) {
    stop_receive_thread();
    port_.close();
    if (com_number < 1 || port_.open(device_path) != SerialStatus::ok)
        return false;
    com_number_ = com_number;
    if (options_.settle_time.count() > 0)
        std::this_thread::sleep_for(options_.settle_time);
    port_.reset_cancel();
    scanner_.reset();
    receive_thread_ = std::thread([this] { receive_loop(); });
    return true;
}

void WatchLink::close() {
    stop_receive_thread();
    port_.close();
}

void WatchLink::stop_receive_thread() {
    if (!receive_thread_.joinable())
        return;
    port_.cancel_reads();
    receive_thread_.join();
}

void WatchLink::receive_loop() {
    std::array<uint8_t, kReadChunk> chunk;
    for (;;) {
        std::size_t got = 0;
        const SerialStatus status = port_.read(chunk.data(), chunk.size(), got);
        if (status == SerialStatus::cancelled)
            return;
        if (status != SerialStatus::ok) {
            // The line failed or hung up: nothing more will come; wait to be stopped.
            port_.wait_cancelled();
            return;
        }
        scanner_.feed(chunk.data(), got);
    }
}

bool WatchLink::send_packet(const uint8_t* payload, std::size_t n) {
    const std::vector<uint8_t> frame = build_frame({payload, n});
    if (frame.empty())
        return false;
    std::size_t offset = 0;
    while (offset < frame.size()) {
        std::size_t written = 0;
        const bool done = port_.write(frame.data() + offset, frame.size() - offset, written,
                                      options_.write_limit);
        if (!done)
            return false;
        offset += written;
    }
    return true;
}

bool WatchLink::get_version() {
    const uint8_t payload = kCmdGetVersion;
    return send_packet(&payload, 1);
}

bool WatchLink::query_status() {
    const uint8_t payload = kCmdQueryStatus;
    return send_packet(&payload, 1);
}

void WatchLink::on_packet(const uint8_t* payload, std::size_t n) {
    if (n == 0)
        return;
    switch (payload[0]) {
        case kReplyVersion:
            owner_.post(
                make_message(kMsgWatchVersionReply, options_.tag, 0, version_text(payload, n)));
            break;
        case kReplyStatus:
            if (n >= 3) {
                owner_.post(make_message(kMsgWatchStatusReply, options_.tag,
                                         static_cast<int64_t>(n - 1),
                                         std::vector<uint8_t>(payload + 1, payload + n)));
            }
            break;
        default:
            break;
    }
}

}  // namespace kestrun
