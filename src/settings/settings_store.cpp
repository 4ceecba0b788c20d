#include "settings/settings_store.h"

#include <cmath>
#include <filesystem>

#include "platform/system_info.h"
#include "platform/text_encoding.h"
#include "platform/xdg_folders.h"
#include "settings/current_settings.h"
#include "settings/language.h"
#include "settings/library_state.h"
#include "settings/settings_ini.h"
#include "ui/string_ids.h"

namespace kestrun {

namespace {

constexpr std::size_t kPathLength = 259;  // a 260-unit buffer with its terminator

std::string join_numbers(const uint8_t* values, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i)
            text += ',';
        text += std::to_string(values[i]);
    }
    return text;
}

std::vector<uint32_t> split_numbers(std::string_view text) {
    std::vector<uint32_t> numbers;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string_view part =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        uint32_t value = 0;
        if (parse_unsigned(part, value))
            numbers.push_back(value);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return numbers;
}

std::vector<std::string> split_names(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        names.emplace_back(
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return names;
}

void create_default_data_folder() {
    std::error_code error;
    std::filesystem::create_directories(default_data_path(), error);
}

uint8_t unit_value(uint32_t value) {
    return value <= 2 ? static_cast<uint8_t>(value) : 0;
}

// The keys whose absence used to reset the whole file. Each one missing now takes its default
// and is written back, so the user sections and the other keys survive.
void load_global_keys(AppSettings& s) {
    std::vector<ProfileEntry> missing;
    auto hex = [&](const char* key, int32_t& field, int32_t fallback, const char* format) {
        uint32_t value = static_cast<uint32_t>(fallback);
        if (read_global_hex(key, value) != 0)
            missing.emplace_back(key, format_text(format, value));
        field = static_cast<int32_t>(value);
    };
    auto number = [&](const char* key, int32_t& field, int32_t fallback, const char* format) {
        int32_t value = fallback;
        if (read_global_number(key, value) != 0)
            missing.emplace_back(key, format_text(format, value));
        field = value;
    };
    auto unsigned_number = [&](const char* key, uint32_t& field, uint32_t fallback) {
        uint32_t value = fallback;
        if (read_global_unsigned(key, value) != 0)
            missing.emplace_back(key, format_text("%u", value));
        field = value;
    };

    hex("ID_GPS", s.gps_id, -1, "%06X");
    hex("ID_HR", s.hr_id, -1, "%06X");
    hex("ID_Watch", s.watch_id, -1, "%06X");
    int32_t flags = 0;
    hex("FunctionFlags", flags, 0x01FF, "%04X");
    s.function_flags = static_cast<uint16_t>(flags);
    number("Trainvault", s.trainvault, 0, "%u");
    number("ProxyEnable", s.proxy_enable, 0, "%u");
    number("AutoDetectProxySettings", s.auto_detect_proxy, 1, "%u");
    uint32_t value = 0;
    unsigned_number("ProxyPort", value, 8080);
    s.proxy_port = static_cast<uint16_t>(value);
    number("FactoryMode", s.factory_mode, 0, "%u");
    unsigned_number("Unit_Pressure", value, 0);
    s.unit_pressure = static_cast<uint8_t>(value);
    unsigned_number("Unit_Temperature", value, 0);
    s.unit_temperature = static_cast<uint8_t>(value);
    unsigned_number("Format_Time", value, 0);
    s.time_format = static_cast<uint8_t>(value);
    number("VSPortEnable", s.vs_port_enable, 1, "%u");
    number("VSPort", s.vs_port, 9, "%d");
    double hours = local_standard_offset_seconds() / 3600.0;
    if (read_global_double("TimeZone", hours) != 0)
        missing.emplace_back("TimeZone", format_text("%.1f", hours));
    s.time_zone_offset = static_cast<int32_t>(std::lround(hours * 3600.0));

    if (!missing.empty())
        write_profile_strings(settings_file_path(), kGlobalSection, missing);
}

bool letter_is_no(std::string_view text) {
    return text == "N" || text == "n";
}

std::vector<ProfileEntry> user_entries_if_absent(const std::string& user,
                                                 const std::vector<ProfileEntry>& defaults) {
    std::vector<ProfileEntry> absent;
    for (const auto& [key, value] : defaults) {
        std::string text;
        if (read_section_text(user, key, text, kControlsPosSize) != 0)
            absent.emplace_back(key, value);
    }
    return absent;
}

std::string join_legend(const std::vector<uint32_t>& legend) {
    std::string text;
    for (std::size_t i = 0; i < legend.size(); ++i) {
        if (i)
            text += ',';
        text += std::to_string(legend[i]);
    }
    return text;
}

}  // namespace

std::string default_data_path() {
    return common_app_data_folder() + "/Kestrun/user";
}

std::vector<std::string> default_activity_names() {
    return {GetText(kStrActivityRunning), GetText(kStrActivityCycling), GetText(kStrActivityHiking),
            GetText(kStrActivitySailing), GetText(kStrActivityUser)};
}

void derive_unit_fields(AppSettings& settings, const UserProfile& profile) {
    settings.unit_distance = profile.distance_speed_unit;
    settings.unit_speed = profile.distance_speed_unit;
    settings.unit_height = profile.distance_speed_unit != 0 ? 1 : 0;
    settings.unit_weight = profile.weight_unit;
    settings.time_format = profile.time_format;
    set_current_unit_system(settings.unit_system());
}

UserProfile LoadUserProfile(const std::string& user, const std::string& user_folder) {
    UserProfile p;
    int32_t number = 0;
    std::string text;
    if (read_section_number(user, "Gender", number) == 0)
        p.gender = static_cast<uint8_t>(number);
    if (read_section_text(user, "Birthday", text) == 0) {
        std::vector<uint32_t> parts = split_numbers(text);
        if (parts.size() > 0)
            p.birth_year = static_cast<uint8_t>(parts[0]);
        if (parts.size() > 1)
            p.birth_month = static_cast<uint8_t>(parts[1]);
        if (parts.size() > 2)
            p.birth_day = static_cast<uint8_t>(parts[2]);
    }
    if (read_section_number(user, "Unit_DistSpeed", number) == 0)
        p.distance_speed_unit = unit_value(static_cast<uint32_t>(number));
    if (read_section_number(user, "Unit_Weight", number) == 0)
        p.weight_unit = static_cast<uint8_t>(number);
    if (read_section_number(user, "Weight", number) == 0)
        p.weight = static_cast<uint16_t>(number);
    if (read_section_text(user, "KsView", text) == 0) {
        std::vector<uint32_t> values = split_numbers(text);
        for (std::size_t i = 0; i < values.size() && i < kViewSettingsSize; ++i)
            p.view_settings[i] = static_cast<uint8_t>(values[i]);
    }
    if (read_section_number(user, "TimeFormat", number) == 0)
        p.time_format = static_cast<uint8_t>(number);
    if (read_section_text(user, "LastActivity", text) == 0) {
        text = utf8_prefix_units(text, kLastActivityLength);
        std::error_code error;
        // Activity names never hold these characters; one that does could lead outside the
        // user folder.
        bool plain =
            text.find_first_of("\\/:*?<>|\"") == std::string::npos && text != "." && text != "..";
        if (plain && !user_folder.empty() &&
            std::filesystem::exists(user_folder + "/" + text + ".act", error))
            p.last_activity = text;
    }
    std::vector<std::string> defaults = default_activity_names();
    p.activity_names = defaults;
    if (read_section_text(user, "ActivityName", text) == 0) {
        std::vector<std::string> names = split_names(text);
        for (std::size_t i = 0; i < names.size() && i < kActivityNameCount; ++i)
            p.activity_names[i] = names[i];
    }
    if (read_section_text(user, "Legend", text) == 0) {
        p.legend.clear();
        for (uint32_t value : split_numbers(text))
            if (value < 5)
                p.legend.push_back(value);
        if (p.legend.empty())
            p.legend.push_back(1);
    }
    if (read_section_number(user, "HR_FT", number) == 0)
        p.hr_chart = number;
    if (read_section_text(user, "GraphType", text) == 0) {
        std::vector<uint32_t> values = split_numbers(text);
        for (std::size_t i = 0; i < values.size() && i < p.graph_type.size(); ++i)
            p.graph_type[i] = values[i];
    }
    if (read_section_number(user, "ShowGraphData", number) == 0)
        p.show_graph_data = number;
    if (read_section_text(user, "SmoothingData", text) == 0)
        parse_unsigned(text, p.smoothing_data);
    return p;
}

void LoadSettings(AppSettings& settings) {
    load_global_keys(settings);
    // The system time zone always answers here; the stored "TimeZone" is the fallback only.
    settings.time_zone_offset = local_standard_offset_seconds();

    std::string text;
    settings.auto_clear = !(read_global_text("AutoClear", text) == 0 && letter_is_no(text));

    int32_t port = -1;
    read_global_number("LastCOM", port);
    set_last_com_port(port);
    set_smart_update(1);

    settings.data_path = default_data_path();
    if (read_global_text("DataPath", text) == 0)
        settings.data_path = utf8_prefix_units(text, kPathLength);
    while (settings.data_path.size() > 1 && settings.data_path.back() == '/')
        settings.data_path.pop_back();
    library_state().set_data_path(settings.data_path);

    std::string user;
    if (read_global_text("Current_User", user) == 0) {
        settings.current_user = user;
        library_state().set_user_name(user);
    }
    LoadStartLanguage(user);

    create_default_data_folder();

    UserProfile profile = LoadUserProfile(settings.current_user, library_state().user_folder());
    set_current_user_profile(profile);
    derive_unit_fields(settings, profile);
}

void SaveSettings(const AppSettings& s, const WindowGeometry* window) {
    const std::string path = settings_file_path();
    std::vector<ProfileEntry> global = {
        {"ID_GPS", format_text("%06X", static_cast<uint32_t>(s.gps_id))},
        {"ID_HR", format_text("%06X", static_cast<uint32_t>(s.hr_id))},
        {"ID_Watch", format_text("%06X", static_cast<uint32_t>(s.watch_id))},
        {"FunctionFlags", format_text("%04X", s.function_flags)},
        {"Trainvault", format_text("%u", static_cast<uint32_t>(s.trainvault))},
        {"ProxyEnable", format_text("%u", static_cast<uint32_t>(s.proxy_enable))},
        {"AutoDetectProxySettings", format_text("%u", static_cast<uint32_t>(s.auto_detect_proxy))},
        {"ProxyPort", format_text("%u", s.proxy_port)},
        {"FactoryMode", format_text("%u", static_cast<uint32_t>(s.factory_mode))},
        {"Unit_Distance", format_text("%u", s.unit_distance)},
        {"Unit_Speed", format_text("%u", s.unit_speed)},
        {"Unit_Height", format_text("%u", s.unit_height)},
        {"Unit_Weight", format_text("%u", s.unit_weight)},
        {"Unit_Pressure", format_text("%u", s.unit_pressure)},
        {"Unit_Temperature", format_text("%u", s.unit_temperature)},
        {"Format_Time", format_text("%u", s.time_format)},
        {"VSPortEnable", format_text("%u", static_cast<uint32_t>(s.vs_port_enable))},
        {"VSPort", format_text("%d", s.vs_port)},
        {"TimeZone", format_text("%.1f", s.time_zone_offset / 3600.0)},
        {"AutoClear", s.auto_clear ? "Y" : "N"},
        {"DataPath", s.data_path},
        {"Current_User", s.current_user},
        {"LastCOM", format_text("%d", last_com_port())},
    };
    // Keys other parts own: written only when absent, so the file always holds every key.
    for (const auto& [key, value] :
         std::vector<ProfileEntry>{{"AutoClearFlash", s.auto_clear ? "1" : "0"},
                                   {"DownloadWorkout", "0"},
                                   {"GE_WarnDisable", "0"},
                                   {"FwUpdate_Period", "0"},
                                   {"SoftUpd_Period", "0"},
                                   {"FilterHR", "8"},
                                   {"Filter", "32"},
                                   {"SkipNotFixed", "1"}}) {
        std::string text;
        if (read_global_text(key, text) != 0)
            global.emplace_back(key, value);
    }
    write_profile_strings(path, kGlobalSection, global);

    if (!s.current_user.empty()) {
        const std::string& user = s.current_user;
        UserProfile p = current_user_profile();
        std::vector<ProfileEntry> section = {
            {"GraphType",
             format_text("%u,%u,%u", p.graph_type[0], p.graph_type[1], p.graph_type[2])}};
        if (window) {
            section.emplace_back(
                "Position", format_text("%u,%u,%u,%d,%d,%d,%d", window->screen_width,
                                        window->screen_height, window->dots_per_inch, window->left,
                                        window->top, window->right, window->bottom));
        }
        section.emplace_back("Unit_DistSpeed", format_text("%u", p.distance_speed_unit));
        section.emplace_back("Unit_Weight", format_text("%u", p.weight_unit));
        section.emplace_back("TimeFormat", format_text("%u", p.time_format));
        section.emplace_back("LastActivity", p.last_activity);
        if (window) {
            section.emplace_back("WindowPlacement",
                                 join_numbers(window->placement.data(), window->placement.size()));
        }
        section.emplace_back("GoogleMap", "0");
        section.emplace_back("Legend", join_legend(p.legend));
        section.emplace_back("HR_FT", format_text("%d", p.hr_chart));

        std::string names;
        if (p.activity_names != default_activity_names()) {
            for (std::size_t i = 0; i < p.activity_names.size(); ++i) {
                if (i)
                    names += ',';
                names += p.activity_names[i];
            }
        }
        section.emplace_back("ActivityName", names);

        // Keys read at load and otherwise owned elsewhere: filled in when absent.
        std::vector<ProfileEntry> absent = user_entries_if_absent(
            user, {{"Gender", format_text("%u", p.gender)},
                   {"Birthday", format_text("%u,%u,%u", p.birth_year, p.birth_month, p.birth_day)},
                   {"Weight", format_text("%u", p.weight)},
                   {"KsView", join_numbers(p.view_settings.data(), p.view_settings.size())},
                   {"ShowGraphData", format_text("%d", p.show_graph_data)},
                   {"SmoothingData", format_text("%u", p.smoothing_data)},
                   {"ControlPosVer", "1.0"},
                   {"ControlsPos", ""},
                   {"GE", "2"},
                   {"GE_Setting", "0"},
                   {"KML_LineColor", "00FFFF00"},
                   {"KML_ShowDataPoints", "0"},
                   {"KML_ShowLapInfo", "1"},
                   {"KML_ShowSplitMarker", "0"},
                   {"KML_SplitDistKM", "1.0"},
                   {"KML_MinDistance", "0.5"},
                   {"KML_Linewidth", "3"}});
        section.insert(section.end(), absent.begin(), absent.end());
        write_profile_strings(path, user, section);
    }

    write_profile_string(path, kGlobalSection, "SmartUpdate", format_text("%d", smart_update()));
}

void ResetSettings(AppSettings& settings) {
    AppSettings defaults;
    defaults.time_zone_offset = local_standard_offset_seconds();
    defaults.current_user = settings.current_user;
    defaults.data_path = default_data_path();
    settings = defaults;
    library_state().set_data_path(settings.data_path);

    UserProfile profile = current_user_profile();
    profile.distance_speed_unit = 0;
    profile.weight_unit = 0;
    profile.time_format = 0;
    set_current_user_profile(profile);
    set_current_unit_system(settings.unit_system());

    create_default_data_folder();
    create_empty_profile(settings_file_path());
    set_smart_update(1);
    SaveSettings(settings);
}

}  // namespace kestrun
