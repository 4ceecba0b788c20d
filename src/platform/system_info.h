#pragma once

#include <cstdint>
#include <string>

namespace kestrun {

struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The standard offset of the system time zone (TZ, else /etc/localtime) in seconds east of UTC,
// without daylight saving.
int32_t local_standard_offset_seconds();

// The local date and time now.
LocalDateTime local_date_time_now();

// The kernel release (uname), the version text of the log's system line.
std::string os_release();
// True when the machine runs a 64-bit kernel.
bool os_is_64_bit();
// True for root and for members of the groups that may administer the machine (sudo, wheel, admin).
bool is_admin_group_member();

}  // namespace kestrun
