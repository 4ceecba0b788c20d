#pragma once

#include <string>
#include <vector>

// The serial terminals of the machine as sysfs describes them.
namespace kestrun {

struct SerialDeviceInfo {
    std::string node_name;    // "ttyUSB0"
    std::string device_path;  // "/dev/ttyUSB0"
    int usb_vendor = -1;      // of the USB device the terminal belongs to; -1 when not USB
    int usb_product = -1;
    std::string driver;  // the kernel driver bound to the terminal's device, e.g. "cp210x"
};

// Every terminal under <sysfs_root>/class/tty that belongs to a device (virtual consoles and
// pseudo-terminals have none), sorted by node name with numbers in numeric order. Device paths are
// <dev_root>/<node name>. The roots are parameters so tests can describe a machine in a folder.
std::vector<SerialDeviceInfo> list_serial_devices(const std::string& sysfs_root = "/sys",
                                                  const std::string& dev_root = "/dev");

}  // namespace kestrun
