#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

// The frame every message to and from the watch travels in:
//   A0 A2 | length (2, high byte first) | payload | checksum (2, high byte first) | B0 B3
// The payload's first byte is the message id.
namespace kestrun {

inline constexpr uint8_t kFrameStart1 = 0xA0;
inline constexpr uint8_t kFrameStart2 = 0xA2;
inline constexpr uint8_t kFrameEnd1 = 0xB0;
inline constexpr uint8_t kFrameEnd2 = 0xB3;
inline constexpr std::size_t kFrameOverhead = 8;
// A frame announcing a longer payload is refused by the receiver.
inline constexpr std::size_t kMaxPayload = 5120;
inline constexpr std::size_t kScannerBufferSize = kMaxPayload + kFrameOverhead;

// The sum of the payload bytes kept to 15 bits.
uint16_t packet_checksum(const uint8_t* payload, std::size_t n);

// The whole frame around `payload`. Payloads longer than 65535 bytes cannot be framed: empty.
std::vector<uint8_t> build_frame(std::span<const uint8_t> payload);

// Cuts the received byte stream into frames and hands each payload whose checksum is right to the
// dispatcher. Used by one receive thread only; assembles in place and never stores beyond its
// fixed buffer.
class PacketScanner {
public:
    using Dispatch = std::function<void(const uint8_t* payload, std::size_t n)>;
    using LogLine = std::function<void(std::string_view line)>;

    PacketScanner(Dispatch dispatch, LogLine log = {});

    void reset();
    void feed(const uint8_t* bytes, std::size_t n);
    void feed(std::span<const uint8_t> bytes) { feed(bytes.data(), bytes.size()); }

    std::size_t buffered() const { return count_; }

private:
    static constexpr uint16_t kUnknownLength = 0xFFFF;

    void feed_byte(uint8_t b);

    Dispatch dispatch_;
    LogLine log_;
    std::array<uint8_t, kScannerBufferSize> buffer_{};
    uint16_t count_ = 0;
    uint16_t expected_ = kUnknownLength;
};

}  // namespace kestrun
