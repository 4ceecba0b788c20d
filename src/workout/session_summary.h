#pragma once

#include <array>
#include <cstdint>

#include "platform/byte_order.h"

namespace kestrun {

// A workout's summary, 48 bytes as stored. The start time is seconds first and year last (the
// reverse of a track point) and is the local time as recorded. Speeds are 0.1 km/h.
class SessionSummary {
public:
    static constexpr std::size_t kSize = 48;

    std::array<uint8_t, kSize> bytes{};

    uint8_t lap_count() const { return bytes[2]; }
    uint8_t start_second() const { return bytes[3]; }
    uint8_t start_minute() const { return bytes[4]; }
    uint8_t start_hour() const { return bytes[5]; }
    uint8_t start_day() const { return bytes[6]; }
    uint8_t start_month() const { return bytes[7]; }
    uint8_t start_year() const { return bytes[8]; }  // year - 2000
    uint8_t total_seconds() const { return bytes[9]; }
    uint8_t total_minutes() const { return bytes[10]; }
    uint8_t total_hours() const { return bytes[11]; }
    uint32_t total_distance() const { return read_u32_le(&bytes[16]); }  // 0.1 m
    uint16_t avg_speed() const { return read_u16_le(&bytes[20]); }
    uint16_t max_speed() const { return read_u16_le(&bytes[22]); }
    uint8_t avg_heart_rate() const { return bytes[28]; }
    uint8_t max_heart_rate() const { return bytes[29]; }
    uint8_t min_heart_rate() const { return bytes[30]; }
    uint32_t calories() const { return read_u32_le(&bytes[32]); }  // 0.01 kcal
    // Zone times as seconds, minutes, hours.
    const uint8_t* below_zone_time() const { return &bytes[36]; }
    const uint8_t* in_zone_time() const { return &bytes[40]; }
    const uint8_t* above_zone_time() const { return &bytes[44]; }

    void set_lap_count(uint8_t v) { bytes[2] = v; }
    void set_start(uint8_t year, uint8_t month, uint8_t day, uint8_t hour, uint8_t minute,
                   uint8_t second) {
        bytes[3] = second;
        bytes[4] = minute;
        bytes[5] = hour;
        bytes[6] = day;
        bytes[7] = month;
        bytes[8] = year;
    }
    void set_total_time(uint8_t hours, uint8_t minutes, uint8_t seconds) {
        bytes[9] = seconds;
        bytes[10] = minutes;
        bytes[11] = hours;
    }
    void set_total_distance(uint32_t v) { write_u32_le(&bytes[16], v); }
    void set_avg_speed(uint16_t v) { write_u16_le(&bytes[20], v); }
    void set_max_speed(uint16_t v) { write_u16_le(&bytes[22], v); }
    void set_heart_rates(uint8_t avg, uint8_t max, uint8_t min) {
        bytes[28] = avg;
        bytes[29] = max;
        bytes[30] = min;
    }
    void set_calories(uint32_t v) { write_u32_le(&bytes[32], v); }

    bool operator==(const SessionSummary&) const = default;
};

}  // namespace kestrun
