#pragma once

#include <array>
#include <cstdint>

#include "platform/byte_order.h"

namespace kestrun {

// One lap, 16 bytes as stored. The time fields hold the cumulative ("split") time at the end of
// the lap; hours, minutes and seconds are binary, the hundredths byte alone is BCD.
class LapRecord {
public:
    static constexpr std::size_t kSize = 16;

    std::array<uint8_t, kSize> bytes{};

    // Consumers read the three time bytes as signed 8-bit values.
    int8_t split_hours() const { return static_cast<int8_t>(bytes[0]); }
    int8_t split_minutes() const { return static_cast<int8_t>(bytes[1]); }
    int8_t split_seconds() const { return static_cast<int8_t>(bytes[2]); }
    uint8_t split_hundredths() const { return bytes[3]; }  // two BCD digits
    uint8_t avg_heart_rate() const { return bytes[4]; }
    uint32_t distance() const { return read_u32_le(&bytes[8]); }    // 0.1 m
    uint16_t avg_speed() const { return read_u16_le(&bytes[12]); }  // 0.1 km/h

    void set_split(uint8_t hours, uint8_t minutes, uint8_t seconds, uint8_t hundredths_bcd) {
        bytes[0] = hours;
        bytes[1] = minutes;
        bytes[2] = seconds;
        bytes[3] = hundredths_bcd;
    }
    void set_avg_heart_rate(uint8_t v) { bytes[4] = v; }
    void set_distance(uint32_t v) { write_u32_le(&bytes[8], v); }
    void set_avg_speed(uint16_t v) { write_u16_le(&bytes[12], v); }

    bool operator==(const LapRecord&) const = default;
};

}  // namespace kestrun
