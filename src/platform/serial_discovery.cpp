#include "platform/serial_discovery.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kestrun {
namespace {

namespace fs = std::filesystem;

int read_hex_file(const fs::path& path) {
    std::ifstream in(path);
    std::string text;
    if (!(in >> text) || text.size() > 8)
        return -1;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 16);
    if (end == text.c_str() || *end != '\0')
        return -1;
    return static_cast<int>(value);
}

// The USB device a terminal belongs to is the nearest folder above its device that carries
// idVendor and idProduct.
void find_usb_ids(const fs::path& device, const fs::path& sysfs_root, SerialDeviceInfo& info) {
    std::error_code ec;
    fs::path dir = device;
    const fs::path root = fs::weakly_canonical(sysfs_root, ec);
    for (int depth = 0; depth < 16 && !dir.empty() && dir != root && dir != dir.root_path();
         ++depth) {
        if (fs::exists(dir / "idVendor", ec) && fs::exists(dir / "idProduct", ec)) {
            info.usb_vendor = read_hex_file(dir / "idVendor");
            info.usb_product = read_hex_file(dir / "idProduct");
            return;
        }
        dir = dir.parent_path();
    }
}

// "ttyUSB10" sorts after "ttyUSB9".
bool node_less(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && std::isdigit(static_cast<unsigned char>(s[i - 1])))
            --i;
        const long number = i < s.size() ? std::strtol(s.c_str() + i, nullptr, 10) : -1;
        return std::make_pair(s.substr(0, i), number);
    };
    return split(a) < split(b);
}

}  // namespace

std::vector<SerialDeviceInfo> list_serial_devices(const std::string& sysfs_root,
                                                  const std::string& dev_root) {
    std::vector<SerialDeviceInfo> devices;
    std::error_code ec;
    const fs::path class_dir = fs::path(sysfs_root) / "class" / "tty";
    for (fs::directory_iterator it(class_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        std::error_code device_ec;
        const fs::path device = fs::canonical(entry / "device", device_ec);
        if (device_ec)
            continue;

        SerialDeviceInfo info;
        info.node_name = entry.filename().string();
        info.device_path = (fs::path(dev_root) / info.node_name).string();
        std::error_code driver_ec;
        const fs::path driver = fs::read_symlink(device / "driver", driver_ec);
        if (!driver_ec)
            info.driver = driver.filename().string();
        find_usb_ids(device, sysfs_root, info);
        devices.push_back(std::move(info));
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
                  return node_less(a.node_name, b.node_name);
              });
    return devices;
}

}  // namespace kestrun
