#include "workout/stored_datetime.h"

namespace kestrun {

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civil_from_days(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const int64_t kEpoch2000 = days_from_civil(2000, 1, 1);

}  // namespace

int64_t seconds_since_2000(const StoredDateTime& t) {
    int64_t days = days_from_civil(2000 + t.year, t.month, t.day) - kEpoch2000;
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<StoredDateTime> datetime_from_seconds(int64_t seconds) {
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int64_t rest = seconds - days * 86400;
    int64_t y;
    unsigned m, d;
    civil_from_days(days + kEpoch2000, y, m, d);
    if (y < 2000 || y > 2255)
        return std::nullopt;
    StoredDateTime t;
    t.year = static_cast<uint8_t>(y - 2000);
    t.month = static_cast<uint8_t>(m);
    t.day = static_cast<uint8_t>(d);
    t.hour = static_cast<uint8_t>(rest / 3600);
    t.minute = static_cast<uint8_t>(rest / 60 % 60);
    t.second = static_cast<uint8_t>(rest % 60);
    return t;
}

std::optional<StoredDateTime> shift_datetime(const StoredDateTime& t, int64_t seconds) {
    return datetime_from_seconds(seconds_since_2000(t) + seconds);
}

}  // namespace kestrun
