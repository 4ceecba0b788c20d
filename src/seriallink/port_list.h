#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_discovery.h"

// The candidate ports for a watch connection and how the system's port numbers ("COM%d",
// LastCOM, ForceCOM) name terminals on this machine.
//
// Port numbers and device nodes: /dev/ttyUSB<n> is COM<n+1> (so ttyUSB0 is COM1), and
// /dev/ttyACM<n> is COM<n+1001>. Other terminals have no number and are never candidates.
//
// Any terminals: when the environment variable KESTRUN_SERIAL_PORTS holds a list of terminal paths
// separated by ':', those paths replace the discovered ports, in that order, and COM<k> is the
// k-th path of the list (COM1 the first). The LastCOM reordering still applies.
namespace kestrun {

inline constexpr int kWatchUsbVendor = 0x04FC;
inline constexpr int kWatchUsbProduct = 0x0201;
inline constexpr std::string_view kBridgeDriver = "cp210x";
// The USB-to-serial bridge ports are taken up to this count, as the system always did.
inline constexpr int kMaxBridgePorts = 32;
inline constexpr int kAcmPortBase = 1001;

struct PortEntry {
    std::string name;  // "COM5"
    std::string path;  // the terminal to open for it
};

struct PortList {
    std::vector<PortEntry> entries;
    int index = 0;  // the entry being tried
    bool from_environment = false;
    std::string dev_root = "/dev";

    // "COM PORT : " followed by every name and one blank after each.
    std::string log_line() const;
    // The terminal to open for a port number: the listed entry of that number, else the node that
    // the numbering rule gives it (none for the terminals of KESTRUN_SERIAL_PORTS past the list).
    std::string path_for(int com_number) const;
};

// The port number of a device node name ("ttyUSB4" gives 5); 0 when it has none.
int com_number_for_node(std::string_view node_name);
// The device node of a port number under `dev_root`; empty when the number names none.
std::string device_node_for_com(int com_number, const std::string& dev_root = "/dev");
// The number in "COM%d" (case ignored, as the system reads it); 0 when there is none.
int parse_com_number(std::string_view name);

// The watch's own ports (USB 04FC:0201) first, then up to 32 ports of the cp210x bridge driver.
std::vector<PortEntry> candidate_ports(const std::vector<SerialDeviceInfo>& devices);
// The paths of a KESTRUN_SERIAL_PORTS value, named COM1, COM2, ... in order. Empty parts are
// skipped without taking a number.
std::vector<PortEntry> ports_from_list(std::string_view paths);

// Where the candidates come from: a list of terminal paths in the KESTRUN_SERIAL_PORTS form when
// given, else the environment's list when set, else the machine's terminals.
struct PortSource {
    std::string terminal_paths;
    bool use_environment = true;
    std::string sysfs_root = "/sys";
    std::string dev_root = "/dev";
};

// Fills the list (index back to 0), then moves the LastCOM port to the front when last_com is not
// -1, the list has more than one entry and bypass_last_com is 0. Returns the number of entries.
int build_port_list(PortList& list, int last_com, int bypass_last_com,
                    const PortSource& source = {});
// As build_port_list, from entries already found.
void order_by_last_com(PortList& list, int last_com, int bypass_last_com);

// The port number to open now: force_com when set; 0 when the list is empty; -1 when the index is
// below 0; -2 when it is past the end; else the number of the entry at the index.
int port_for_attempt(const PortList& list, int force_com);

}  // namespace kestrun
