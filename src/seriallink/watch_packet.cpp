#include "seriallink/watch_packet.h"

namespace kestrun {

uint16_t packet_checksum(const uint8_t* payload, std::size_t n) {
    uint16_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum = static_cast<uint16_t>(sum + payload[i]);
    return static_cast<uint16_t>(sum & 0x7FFF);
}

std::vector<uint8_t> build_frame(std::span<const uint8_t> payload) {
    const std::size_t n = payload.size();
    if (n > 0xFFFF)
        return {};
    std::vector<uint8_t> frame;
    frame.reserve(n + kFrameOverhead);
    frame.push_back(kFrameStart1);
    frame.push_back(kFrameStart2);
    frame.push_back(static_cast<uint8_t>(n >> 8));
    frame.push_back(static_cast<uint8_t>(n & 0xFF));
    frame.insert(frame.end(), payload.begin(), payload.end());
    const uint16_t checksum = packet_checksum(payload.data(), n);
    frame.push_back(static_cast<uint8_t>(checksum >> 8));
    frame.push_back(static_cast<uint8_t>(checksum & 0xFF));
    frame.push_back(kFrameEnd1);
    frame.push_back(kFrameEnd2);
    return frame;
}

PacketScanner::PacketScanner(Dispatch dispatch, LogLine log)
    : dispatch_(std::move(dispatch)), log_(std::move(log)) {}

void PacketScanner::reset() {
    count_ = 0;
    expected_ = kUnknownLength;
}

void PacketScanner::feed(const uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        feed_byte(bytes[i]);
}

void PacketScanner::feed_byte(uint8_t b) {
    buffer_[count_++] = b;

    if (expected_ == kUnknownLength) {
        // Hunting for a header. Some watches send B3 instead of A0 as the first byte; such a
        // header is still taken.
        if (buffer_[0] != kFrameStart1 && buffer_[0] != kFrameEnd2) {
            count_ = 0;
        } else if (count_ >= 2 && buffer_[1] != kFrameStart2) {
            count_ = 0;
        } else if (count_ == 4) {
            if (buffer_[0] == kFrameEnd2 && log_)
                log_("Error in header = 0xb3");
            expected_ = static_cast<uint16_t>(buffer_[2] * 256 + buffer_[3]);
            if (expected_ > kMaxPayload)
                reset();
        }
        return;
    }

    const std::size_t frame_size = expected_ + kFrameOverhead;
    if (count_ < frame_size)
        return;
    // A frame whose end bytes are wrong can never complete: drop it and hunt again, so the
    // buffer is never overrun and later frames are still found.
    if (buffer_[expected_ + 6] == kFrameEnd1 && buffer_[expected_ + 7] == kFrameEnd2) {
        const uint16_t checksum = packet_checksum(buffer_.data() + 4, expected_);
        const bool right = (checksum >> 8) == buffer_[expected_ + 4] &&
                           (checksum & 0xFF) == buffer_[expected_ + 5];
        if (right && dispatch_)
            dispatch_(buffer_.data() + 4, expected_);
    }
    reset();
}

}  // namespace kestrun
