#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/unit_system.h"

namespace kestrun {

// The global settings the main window holds, from the global section of Watch.ini.
struct AppSettings {
    int32_t watch_id = -1;  // "ID_Watch"; -1 none
    int32_t gps_id = -1;    // "ID_GPS"
    int32_t hr_id = -1;     // "ID_HR"
    int32_t trainvault = 0;
    int32_t factory_mode = 0;
    int32_t proxy_enable = 0;
    int32_t auto_detect_proxy = 1;
    int32_t vs_port_enable = 1;
    int32_t vs_port = 9;
    int32_t time_zone_offset = 0;  // seconds east of UTC
    std::string proxy_host;        // never stored
    uint16_t proxy_port = 8080;
    uint16_t function_flags = 0x01FF;
    uint8_t unit_distance = 0;
    uint8_t unit_speed = 0;
    uint8_t unit_height = 0;
    uint8_t unit_weight = 0;
    uint8_t unit_pressure = 0;
    uint8_t unit_temperature = 0;
    uint8_t time_format = 0;
    std::string current_user;  // up to 260 characters
    bool auto_clear = true;
    std::string data_path;  // up to 260 characters, no trailing slash

    UnitSystem unit_system() const {
        return {unit_distance, unit_speed, unit_height, time_zone_offset};
    }
};

inline constexpr std::size_t kViewSettingsSize = 45;

// The watch's view settings when the user has none stored.
inline constexpr std::array<uint8_t, kViewSettingsSize> kDefaultViewSettings = {
    1,  2, 3, 4, 0, 1, 5, 6, 7, 0, 1, 8, 9, 10, 0, 1, 11, 12, 13, 0, 1, 14, 15,
    16, 0, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0,  0,  0,  0, 0, 0};

inline constexpr std::size_t kActivityNameCount = 5;
inline constexpr std::size_t kLastActivityLength = 40;

// The settings of the current user, from the user's section of Watch.ini.
struct UserProfile {
    uint8_t gender = 1;
    uint8_t birth_year = 80;  // years since 1900
    uint8_t birth_month = 1;
    uint8_t birth_day = 1;
    uint8_t weight_unit = 0;
    uint16_t weight = 1540;
    std::array<uint8_t, kViewSettingsSize> view_settings = kDefaultViewSettings;
    uint8_t time_format = 0;
    uint8_t distance_speed_unit = 0;  // 0 km, 1 mile, 2 nautical mile
    std::string last_activity;        // at most 40 characters
    std::vector<std::string> activity_names;
    std::vector<uint32_t> legend = {1};
    int32_t hr_chart = 0;  // "HR_FT"

    // Kept in the file: read at load and written back.
    std::array<uint32_t, 3> graph_type = {1, 3, 0};
    int32_t show_graph_data = 1;
    uint32_t smoothing_data = 1;
};

// The main window's geometry as the save stores it ("Position" and "WindowPlacement"). The
// window fills it in; without one (the command line) those keys are left as they are.
struct WindowGeometry {
    uint32_t screen_width = 0;
    uint32_t screen_height = 0;
    uint32_t dots_per_inch = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    std::array<uint8_t, 44> placement{};  // WINDOWPLACEMENT, little endian
};

}  // namespace kestrun
