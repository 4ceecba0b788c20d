#pragma once

#include <array>
#include <cstdint>

#include "platform/byte_order.h"

namespace kestrun {

// One GPS and heart-rate sample, held byte for byte as stored in a workout file (25 bytes,
// little-endian). Its time is UTC. Bits the program does not interpret survive a read and a write.
class TrackPoint {
public:
    static constexpr std::size_t kSize = 25;
    // A longitude of this value marks a point without a position.
    static constexpr int32_t kNoPosition = 2000000000;

    std::array<uint8_t, kSize> bytes{};

    uint8_t point_type() const { return bytes[0] & 0x0F; }
    uint8_t satellites() const { return bytes[1] & 0x0F; }
    uint8_t year() const { return bytes[2]; }  // year - 2000
    uint8_t month() const { return bytes[3]; }
    uint8_t day() const { return bytes[4]; }
    uint8_t hour() const { return bytes[5]; }
    uint8_t minute() const { return bytes[6]; }
    uint8_t second() const { return bytes[7]; }
    int32_t longitude() const { return read_i32_le(&bytes[8]); }  // degrees x 10,000,000
    int32_t latitude() const { return read_i32_le(&bytes[12]); }
    int16_t altitude() const { return read_i16_le(&bytes[16]); }  // metres
    uint16_t heading() const { return read_u16_le(&bytes[18]); }
    uint16_t speed() const { return read_u16_le(&bytes[20]); }          // 0.01 km/h
    uint16_t step_distance() const { return read_u16_le(&bytes[22]); }  // 0.1 m
    uint8_t heart_rate() const { return bytes[24]; }

    // Setters keep the bits of a field that are not interpreted.
    void set_point_type(uint8_t v) {
        bytes[0] = static_cast<uint8_t>((bytes[0] & 0xF0) | (v & 0x0F));
    }
    void set_satellites(uint8_t v) {
        bytes[1] = static_cast<uint8_t>((bytes[1] & 0xF0) | (v & 0x0F));
    }
    void set_datetime(uint8_t year, uint8_t month, uint8_t day, uint8_t hour, uint8_t minute,
                      uint8_t second) {
        bytes[2] = year;
        bytes[3] = month;
        bytes[4] = day;
        bytes[5] = hour;
        bytes[6] = minute;
        bytes[7] = second;
    }
    void set_longitude(int32_t v) { write_i32_le(&bytes[8], v); }
    void set_latitude(int32_t v) { write_i32_le(&bytes[12], v); }
    void set_altitude(int16_t v) { write_i16_le(&bytes[16], v); }
    void set_heading(uint16_t v) { write_u16_le(&bytes[18], v); }
    void set_speed(uint16_t v) { write_u16_le(&bytes[20], v); }
    void set_step_distance(uint16_t v) { write_u16_le(&bytes[22], v); }
    void set_heart_rate(uint8_t v) { bytes[24] = v; }

    bool operator==(const TrackPoint&) const = default;
};

}  // namespace kestrun
