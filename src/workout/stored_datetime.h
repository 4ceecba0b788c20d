#pragma once

#include <cstdint>
#include <optional>

namespace kestrun {

// A calendar date-time as the records store it: year - 2000 and the five fields, one byte each.
struct StoredDateTime {
    uint8_t year = 0;  // year - 2000
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;

    bool operator==(const StoredDateTime&) const = default;
};

// Seconds since 2000-01-01 00:00:00 of a date-time whose fields are in range (no validation).
int64_t seconds_since_2000(const StoredDateTime& t);
// The date-time `seconds` after 2000-01-01 00:00:00; empty when it falls outside 2000..2255.
std::optional<StoredDateTime> datetime_from_seconds(int64_t seconds);
// `t` moved by `seconds` as a calendar date-time (across days, months and years).
std::optional<StoredDateTime> shift_datetime(const StoredDateTime& t, int64_t seconds);

}  // namespace kestrun
