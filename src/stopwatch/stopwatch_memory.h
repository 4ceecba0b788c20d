#pragma once

#include <array>
#include <cstdint>

// The stopwatch memory as the download reads it: four identification bytes at 0x000C, a
// directory of 99 entries of 16 bytes from address 0, and chains of lap blocks. Numbers in the
// directory and the lap times are BCD.
namespace kestrun {

constexpr std::size_t kStopwatchMemorySize = 8192;
constexpr uint16_t kIdentificationAddress = 0x000C;
constexpr int kDirectoryEntries = 99;
constexpr uint16_t kDirectoryEntrySize = 16;
constexpr uint8_t kDirectoryBytesRead = 12;
constexpr uint8_t kLapBlockHeaderSize = 4;
constexpr int kLapsPerPiece = 10;

// (high nibble) * 10 + (low nibble).
constexpr unsigned bcd_byte(uint8_t value) {
    return (value >> 4) * 10u + (value & 15u);
}
// Four BCD digits of a little-endian 16-bit value.
constexpr unsigned bcd_word(uint16_t value) {
    return (value >> 12) * 1000u + ((value >> 8) & 15u) * 100u + ((value >> 4) & 15u) * 10u +
           (value & 15u);
}
constexpr uint8_t to_bcd(unsigned value) {
    return static_cast<uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

// A lap as read: hundredths in the lowest byte, then seconds, minutes, hours.
constexpr bool is_valid_lap(uint32_t lap) {
    const unsigned hundredths = lap & 0xFF;
    const unsigned seconds = (lap >> 8) & 0xFF;
    const unsigned minutes = (lap >> 16) & 0xFF;
    const unsigned hours = lap >> 24;
    return hours <= 0x23 && minutes <= 0x59 && seconds <= 0x59 && hundredths <= 0x99;
}

struct DirectoryEntry {
    unsigned session_number = 0;
    unsigned lap_count = 0;
    // year - 2000, month, day, hour, minute, second, binary.
    std::array<uint8_t, 6> start{};
    uint16_t first_block = 0;
};

// The first 12 bytes of a directory entry.
DirectoryEntry decode_directory_entry(const uint8_t* bytes);

}  // namespace kestrun
