#include "platform/system_info.h"

#include <grp.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace kestrun {

int32_t local_standard_offset_seconds() {
    ::tzset();
    // glibc keeps the standard (non-summer) offset in `timezone`, in seconds west of UTC.
    return static_cast<int32_t>(-::timezone);
}

LocalDateTime local_date_time_now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string os_release() {
    utsname name{};
    if (::uname(&name) != 0)
        return {};
    return name.release;
}

bool os_is_64_bit() {
    utsname name{};
    if (::uname(&name) != 0)
        return sizeof(void*) == 8;
    std::string machine = name.machine;
    return machine.find("64") != std::string::npos || machine == "s390x";
}

bool is_admin_group_member() {
    if (::geteuid() == 0)
        return true;
    int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    count = ::getgroups(count, groups.data());
    for (int i = 0; i < count; ++i) {
        group entry{};
        group* found = nullptr;
        std::vector<char> buffer(4096);
        if (::getgrgid_r(groups[static_cast<std::size_t>(i)], &entry, buffer.data(), buffer.size(),
                         &found) != 0 ||
            !found)
            continue;
        for (const char* admin : {"sudo", "wheel", "admin", "root"}) {
            if (std::strcmp(found->gr_name, admin) == 0)
                return true;
        }
    }
    return false;
}

}  // namespace kestrun
