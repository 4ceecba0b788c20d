#include "seriallink/port_list.h"
#include "platform/text_encoding.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace kestrun {
namespace {

constexpr std::string_view kUsbNode = "ttyUSB";
constexpr std::string_view kAcmNode = "ttyACM";

// The decimal number that makes up the whole of `digits`; -1 otherwise.
long whole_number(std::string_view digits) {
    if (digits.empty() || digits.size() > 6)
        return -1;
    long value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return -1;
    return value;
}

}  // namespace

std::string PortList::log_line() const {
    std::string line = "COM PORT : ";
    for (const PortEntry& entry : entries)
        line += entry.name + " ";
    return line;
}

std::string PortList::path_for(int com_number) const {
    for (const PortEntry& entry : entries) {
        if (parse_com_number(entry.name) == com_number)
            return entry.path;
    }
    if (from_environment)
        return {};
    return device_node_for_com(com_number, dev_root);
}

int com_number_for_node(std::string_view node_name) {
    if (node_name.starts_with(kUsbNode)) {
        const long n = whole_number(node_name.substr(kUsbNode.size()));
        return n >= 0 && n < kAcmPortBase - 1 ? static_cast<int>(n + 1) : 0;
    }
    if (node_name.starts_with(kAcmNode)) {
        const long n = whole_number(node_name.substr(kAcmNode.size()));
        return n >= 0 ? static_cast<int>(n + kAcmPortBase) : 0;
    }
    return 0;
}

std::string device_node_for_com(int com_number, const std::string& dev_root) {
    if (com_number < 1)
        return {};
    if (com_number < kAcmPortBase) {
        return dev_root + "/" + std::string(kUsbNode) + std::to_string(com_number - 1);
    }
    return dev_root + "/" + std::string(kAcmNode) + std::to_string(com_number - kAcmPortBase);
}

int parse_com_number(std::string_view name) {
    if (name.size() < 4 || !equals_ignoring_case(name.substr(0, 3), "COM"))
        return 0;
    // As "COM%d" reads it: an optional sign, then digits; what follows them is ignored.
    const char* begin = name.data() + 3;
    const char* end = name.data() + name.size();
    int value = 0;
    auto [stop, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc())
        return 0;
    return value;
}

std::vector<PortEntry> candidate_ports(const std::vector<SerialDeviceInfo>& devices) {
    std::vector<PortEntry> ports;
    auto add = [&ports](const SerialDeviceInfo& device) {
        const int number = com_number_for_node(device.node_name);
        if (number == 0)
            return false;
        ports.push_back({"COM" + std::to_string(number), device.device_path});
        return true;
    };
    for (const SerialDeviceInfo& device : devices) {
        if (device.usb_vendor == kWatchUsbVendor && device.usb_product == kWatchUsbProduct)
            add(device);
    }
    int bridges = 0;
    for (const SerialDeviceInfo& device : devices) {
        if (bridges == kMaxBridgePorts)
            break;
        if (device.driver != kBridgeDriver)
            continue;
        if (device.usb_vendor == kWatchUsbVendor && device.usb_product == kWatchUsbProduct)
            continue;  // listed above already
        if (add(device))
            ++bridges;
    }
    return ports;
}

std::vector<PortEntry> ports_from_list(std::string_view paths) {
    std::vector<PortEntry> ports;
    while (!paths.empty()) {
        const std::size_t colon = paths.find(':');
        const std::string_view path = paths.substr(0, colon);
        if (!path.empty()) {
            ports.push_back({"COM" + std::to_string(ports.size() + 1), std::string(path)});
        }
        if (colon == std::string_view::npos)
            break;
        paths.remove_prefix(colon + 1);
    }
    return ports;
}

void order_by_last_com(PortList& list, int last_com, int bypass_last_com) {
    if (last_com == -1 || list.entries.size() <= 1 || bypass_last_com != 0)
        return;
    // "COM%u": a negative number reads as a large unsigned one and matches nothing.
    const std::string wanted = "COM" + std::to_string(static_cast<unsigned>(last_com));
    std::size_t found = list.entries.size();
    for (std::size_t k = 0; k < list.entries.size(); ++k) {
        if (equals_ignoring_case(list.entries[k].name, wanted))
            found = k;
    }
    if (found != list.entries.size() && found != 0)
        std::swap(list.entries[0], list.entries[found]);
}

int build_port_list(PortList& list, int last_com, int bypass_last_com, const PortSource& source) {
    list.entries.clear();
    list.index = 0;
    list.from_environment = false;
    list.dev_root = source.dev_root;
    std::string paths = source.terminal_paths;
    if (paths.empty() && source.use_environment) {
        const char* from_environment = std::getenv("KESTRUN_SERIAL_PORTS");
        if (from_environment != nullptr)
            paths = from_environment;
    }
    if (!paths.empty()) {
        list.entries = ports_from_list(paths);
        list.from_environment = true;
    } else {
        list.entries = candidate_ports(list_serial_devices(source.sysfs_root, source.dev_root));
    }
    order_by_last_com(list, last_com, bypass_last_com);
    return static_cast<int>(list.entries.size());
}

int port_for_attempt(const PortList& list, int force_com) {
    if (force_com != 0)
        return force_com;
    if (list.entries.empty())
        return 0;
    if (list.index < 0)
        return -1;
    if (static_cast<std::size_t>(list.index) >= list.entries.size())
        return -2;
    return parse_com_number(list.entries[list.index].name);
}

}  // namespace kestrun
