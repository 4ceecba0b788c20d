#pragma once

#include <string>

// The developer switches under HKEY_CURRENT_USER\SOFTWARE\Velmora, read anew at every call with
// their defaults (a missing value, or a number of more than four characters, gives the default).
namespace kestrun {

// "SingleInstance", default 1: 0 lets a second instance start.
int single_instance_switch();
// "DebugLevel" as a plain number, default 0.
int debug_level();
// "DebugLevel" present-or-absent: true and the number when present.
bool debug_level_present(int& level);
// "PacketDump", default 0: the DEBUG menu and the packet dialog's initial logging switch.
int packet_dump_switch();
// "System Mode" equals "Dump RAM" without regard to case: the data view's memory-dump mode.
bool dump_ram_mode();
// "BypassLastCOM", default 0.
int bypass_last_com_switch();
// "ForceCOM", default 0: the port number opened for every connection attempt.
int force_com_switch();
// "ShowRawLatLngInGE", default 0.
int show_raw_lat_lng_switch();
// "Patch_StartTime", default 1.
int patch_start_time_switch();

// "DebugWnd": "top,left,right,bottom" of the diagnostic window. False when missing, malformed,
// or when a number is negative (an empty rectangle).
struct DebugWindowRect {
    int top = 0;
    int left = 0;
    int right = 0;
    int bottom = 0;
};
bool read_debug_window_rect(DebugWindowRect& rect);
void write_debug_window_rect(const DebugWindowRect& rect);

}  // namespace kestrun
