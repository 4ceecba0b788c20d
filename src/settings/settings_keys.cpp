#include "settings/settings_keys.h"

#include <cmath>

#include "platform/text_encoding.h"
#include "settings/app_settings.h"
#include "settings/current_settings.h"
#include "settings/language.h"
#include "settings/library_state.h"
#include "settings/settings_ini.h"

namespace kestrun {

namespace {

std::string current_user() {
    return library_state().paths().user_name;
}

int read_user_number(std::string_view key, int fallback) {
    int32_t value = fallback;
    read_section_number(current_user(), key, value);
    return value;
}

int read_global_or(std::string_view key, int fallback) {
    int32_t value = fallback;
    read_global_number(key, value);
    return value;
}

}  // namespace

int read_google_earth_mode() {
    int mode = read_user_number("GE", 2);
    return mode >= 0 && mode <= 2 ? mode : 2;
}

int read_google_earth_setting() {
    return read_user_number("GE_Setting", 0);
}

int read_google_earth_warn_disable() {
    uint32_t value = 0;
    read_global_unsigned("GE_WarnDisable", value);
    return static_cast<int>(value);
}

void write_google_earth_warn_disable(int value) {
    write_global_number("GE_WarnDisable", value);
}

bool read_skip_not_fixed() {
    uint32_t value = 1;
    read_global_unsigned("SkipNotFixed", value);
    return value != 0;
}

int read_download_workout() {
    return read_global_or("DownloadWorkout", 0);
}

void write_download_workout(int value) {
    write_global_number("DownloadWorkout", value);
}

int read_last_com() {
    return read_global_or("LastCOM", -1);
}

void write_last_com(int port) {
    set_last_com_port(port);
    write_global_number("LastCOM", port);
}

bool read_controls_layout(std::string& layout) {
    const std::string user = current_user();
    double version = 1.0;
    std::string text;
    if (read_section_text(user, "ControlPosVer", text) == 0)
        parse_double(text, version);
    if (std::fabs(version - 1.8) > 1e-9)
        return false;
    return read_section_text(user, "ControlsPos", layout, kControlsPosSize) == 0;
}

void write_controls_layout(std::string_view layout) {
    const std::string user = current_user();
    write_section_text(user, "ControlPosVer", format_text("%.1f", 1.8));
    write_section_text(user, "ControlsPos", utf8_prefix_units(layout, kControlsPosSize - 1));
}

void write_last_activity(std::string_view activity) {
    std::string name = utf8_prefix_units(activity, kLastActivityLength);
    UserProfile profile = current_user_profile();
    profile.last_activity = name;
    set_current_user_profile(profile);
    write_section_text(current_user(), "LastActivity", name);
}

void save_last_language_if_translated() {
    if (current_language().translated)
        SaveLastLanguage(current_user());
}

}  // namespace kestrun
