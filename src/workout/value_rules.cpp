#include "workout/value_rules.h"

namespace kestrun {

bool is_valid_heart_rate(int bpm) {
    return bpm >= 30 && bpm <= 250;
}

bool is_leap_year(int full_year) {
    return (full_year % 4 == 0 && full_year % 100 != 0) || full_year % 400 == 0;
}

int days_in_month(int full_year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && is_leap_year(full_year))
        return 29;
    return kDays[month - 1];
}

bool is_valid_datetime(int year, int month, int day, int hour, int minute, int second) {
    if (month < 1 || month > 12)
        return false;
    if (day < 1 || day > days_in_month(year + 2000, month))
        return false;
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 60 && second >= 0 && second <= 60;
}

bool has_position(const TrackPoint& point) {
    return point.longitude() != TrackPoint::kNoPosition;
}

bool has_valid_datetime(const TrackPoint& point) {
    return is_valid_datetime(point.year(), point.month(), point.day(), point.hour(), point.minute(),
                             point.second());
}

int decode_hundredths(uint8_t bcd) {
    int low = bcd & 0x0F;
    int high = bcd >> 4;
    if (low > 9)
        low = 9;
    if (high > 9)
        high = 9;
    return high * 10 + low;
}

int64_t lap_cumulative_hundredths(const LapRecord& lap) {
    int64_t seconds =
        int64_t{lap.split_hours()} * 3600 + int64_t{lap.split_minutes()} * 60 + lap.split_seconds();
    return seconds * 100 + decode_hundredths(lap.split_hundredths());
}

}  // namespace kestrun
