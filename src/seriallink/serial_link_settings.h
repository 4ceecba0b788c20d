#pragma once

// The settings and registry switches the watch connection reads, and the one it writes.
namespace kestrun {

struct SerialLinkSettings {
    int last_com = -1;        // LastCOM: the port on which the watch last answered; -1 none
    int bypass_last_com = 0;  // BypassLastCOM: not 0 keeps the ports in discovery order
    int force_com = 0;        // ForceCOM: not 0 opens this port for every attempt
    int debug_level = 0;      // DebugLevel: not 0 logs the watch's version
};

}  // namespace kestrun
