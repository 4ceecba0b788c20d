#include "settings/registry_switches.h"

#include <cstdio>

#include "platform/profile.h"
#include "platform/registry_store.h"

namespace kestrun {

int single_instance_switch() {
    return read_velmora_number("SingleInstance", 1);
}
int debug_level() {
    return read_velmora_number("DebugLevel", 0);
}
bool debug_level_present(int& level) {
    return read_velmora_number_present("DebugLevel", level);
}
int packet_dump_switch() {
    return read_velmora_number("PacketDump", 0);
}
bool dump_ram_mode() {
    return profile_names_equal(read_velmora_text("System Mode"), "Dump RAM");
}
int bypass_last_com_switch() {
    return read_velmora_number("BypassLastCOM", 0);
}
int force_com_switch() {
    return read_velmora_number("ForceCOM", 0);
}
int show_raw_lat_lng_switch() {
    return read_velmora_number("ShowRawLatLngInGE", 0);
}
int patch_start_time_switch() {
    return read_velmora_number("Patch_StartTime", 1);
}

bool read_debug_window_rect(DebugWindowRect& rect) {
    std::string text = read_velmora_text("DebugWnd");
    DebugWindowRect read;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &read.top, &read.left, &read.right, &read.bottom,
                    &extra) != 4)
        return false;
    if (read.top < 0 || read.left < 0 || read.right < 0 || read.bottom < 0)
        return false;
    rect = read;
    return true;
}

void write_debug_window_rect(const DebugWindowRect& rect) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", rect.top, rect.left, rect.right, rect.bottom);
    RegKey(RegistryRoot::kCurrentUser, kVelmoraKey).set_text("DebugWnd", text);
}

}  // namespace kestrun
