#pragma once

#include <cstdint>

#include "workout/lap_record.h"
#include "workout/track_point.h"

namespace kestrun {

// A heart rate is a reading only within 30..250 bpm.
bool is_valid_heart_rate(int bpm);
// A stored date-time (year - 2000, ...). Minute and second accept 60.
bool is_valid_datetime(int year, int month, int day, int hour, int minute, int second);
bool is_leap_year(int full_year);
int days_in_month(int full_year, int month);
bool has_position(const TrackPoint& point);
bool has_valid_datetime(const TrackPoint& point);
// BCD hundredths digit by digit; a nibble above 9 counts as 9 (0xFF reads 99).
int decode_hundredths(uint8_t bcd);
// ((hours x 3600 + minutes x 60 + seconds) x 100) + hundredths, the time bytes read signed.
int64_t lap_cumulative_hundredths(const LapRecord& lap);

}  // namespace kestrun
