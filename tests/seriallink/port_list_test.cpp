#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "seriallink/port_list.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> names(const PortList& list) {
    std::vector<std::string> out;
    for (const PortEntry& entry : list.entries)
        out.push_back(entry.name);
    return out;
}

PortList list_of(std::vector<std::string> com_names) {
    PortList list;
    for (auto& name : com_names)
        list.entries.push_back({name, "/dev/null"});
    return list;
}

TEST(PortOrder, LastGoodPortMovesToTheFront) {
    struct Case {
        const char* name;
        std::vector<std::string> ports;
        int last_com;
        int bypass;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"swap to front", {"COM3", "COM9", "COM4"}, 9, 0, {"COM9", "COM3", "COM4"}},
        {"bypassed", {"COM3", "COM9", "COM4"}, 9, 1, {"COM3", "COM9", "COM4"}},
        {"single candidate", {"COM3"}, 3, 0, {"COM3"}},
        {"no last port", {"COM3", "COM9"}, -1, 0, {"COM3", "COM9"}},
        {"last port gone", {"COM3", "COM9"}, 5, 0, {"COM3", "COM9"}},
        {"already first", {"COM9", "COM3"}, 9, 0, {"COM9", "COM3"}},
        {"case ignored, last of equals",
         {"COM1", "com9", "COM2", "COM9"},
         9,
         0,
         {"COM9", "com9", "COM2", "COM1"}},
    };
    for (const Case& c : cases) {
        PortList list = list_of(c.ports);
        order_by_last_com(list, c.last_com, c.bypass);
        EXPECT_EQ(names(list), c.expected) << c.name;
    }
}

TEST(PortForAttempt, ForcedListedOrRefused) {
    PortList empty;
    EXPECT_EQ(port_for_attempt(empty, 0), 0);
    EXPECT_EQ(port_for_attempt(empty, 12), 12);

    PortList list = list_of({"COM3", "COM9"});
    EXPECT_EQ(port_for_attempt(list, 0), 3);
    list.index = 1;
    EXPECT_EQ(port_for_attempt(list, 0), 9);
    EXPECT_EQ(port_for_attempt(list, 12), 12);
    list.index = 2;
    EXPECT_EQ(port_for_attempt(list, 0), -2);
    list.index = -1;
    EXPECT_EQ(port_for_attempt(list, 0), -1);
}

TEST(PortNumbers, DeviceNodesMapBothWays) {
    struct Case {
        const char* node;
        int com;
    };
    const Case cases[] = {{"ttyUSB0", 1}, {"ttyUSB12", 13}, {"ttyACM0", 1001}, {"ttyACM3", 1004},
                          {"ttyS0", 0},   {"ttyUSB", 0},    {"ttyUSBx1", 0},   {"tty0", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(com_number_for_node(c.node), c.com) << c.node;
        if (c.com != 0) {
            EXPECT_EQ(device_node_for_com(c.com, "/dev"), std::string("/dev/") + c.node);
        }
    }
    EXPECT_EQ(device_node_for_com(0), "");
    EXPECT_EQ(parse_com_number("COM7"), 7);
    EXPECT_EQ(parse_com_number("com12"), 12);
    EXPECT_EQ(parse_com_number("COMX"), 0);
    EXPECT_EQ(parse_com_number("LPT1"), 0);
}

TEST(PortList, TerminalPathsAreNumberedInOrder) {
    PortSource source;
    source.terminal_paths = "/dev/pts/7::/tmp/watch";
    source.use_environment = false;
    PortList list;
    ASSERT_EQ(build_port_list(list, 2, 0, source), 2);
    // COM2 answered last time, so it comes first; numbers stay with their paths.
    EXPECT_EQ(names(list), (std::vector<std::string>{"COM2", "COM1"}));
    EXPECT_EQ(list.entries[0].path, "/tmp/watch");
    EXPECT_EQ(list.path_for(1), "/dev/pts/7");
    EXPECT_EQ(list.path_for(3), "");  // no node rule for a list of terminals
    EXPECT_EQ(list.log_line(), "COM PORT : COM2 COM1 ");
}

// A machine described in a folder as sysfs shows it.
class FakeSysfs {
public:
    explicit FakeSysfs(const std::string& root) : root_(root) {
        fs::create_directories(root_ / "class" / "tty");
        fs::create_directories(root_ / "bus" / "drivers");
    }

    // A terminal on a USB device with the given ids and driver; vendor 0 gives a terminal with a
    // device but no USB parent.
    void add(const std::string& node, const std::string& vendor, const std::string& product,
             const std::string& driver) {
        const fs::path usb = root_ / "devices" / ("usb-" + node);
        const fs::path port = usb / "1-1:1.0" / node;
        fs::create_directories(port / "tty" / node);
        if (!vendor.empty()) {
            std::ofstream(usb / "idVendor") << vendor << "\n";
            std::ofstream(usb / "idProduct") << product << "\n";
        }
        fs::create_directories(root_ / "bus" / "drivers" / driver);
        fs::create_directory_symlink(root_ / "bus" / "drivers" / driver, port / "driver");
        const fs::path class_entry = root_ / "class" / "tty" / node;
        fs::create_directory(class_entry);
        fs::create_directory_symlink(port, class_entry / "device");
    }
    // A terminal without a device (a virtual console).
    void add_virtual(const std::string& node) {
        fs::create_directory(root_ / "class" / "tty" / node);
    }

private:
    fs::path root_;
};

TEST(PortDiscovery, WatchPortsFirstThenBridgePorts) {
    testing::TempDir dir;
    FakeSysfs sysfs(dir.file("sys"));
    sysfs.add("ttyUSB0", "10c4", "ea60", "cp210x");
    sysfs.add("ttyUSB10", "10c4", "ea60", "cp210x");
    sysfs.add("ttyUSB2", "04fc", "0201", "pl2303");  // ids in sysfs are lower case
    sysfs.add("ttyUSB3", "067b", "2303", "pl2303");  // another bridge: not a candidate
    sysfs.add("ttyACM0", "04FC", "0201", "cdc_acm");
    sysfs.add("ttyS0", "", "", "serial8250");
    sysfs.add_virtual("tty0");

    const std::vector<SerialDeviceInfo> devices = list_serial_devices(dir.file("sys"), "/dev");
    ASSERT_EQ(devices.size(), 6u);
    EXPECT_EQ(devices[0].node_name, "ttyACM0");
    EXPECT_EQ(devices.back().node_name, "ttyUSB10");  // numbers in numeric order

    PortSource source;
    source.use_environment = false;
    source.sysfs_root = dir.file("sys");
    PortList list;
    build_port_list(list, -1, 0, source);
    EXPECT_EQ(names(list), (std::vector<std::string>{"COM1001", "COM3", "COM1", "COM11"}));
    EXPECT_EQ(list.entries[1].path, "/dev/ttyUSB2");
    EXPECT_EQ(list.log_line(), "COM PORT : COM1001 COM3 COM1 COM11 ");
}

TEST(PortDiscovery, NoSerialDriverGivesAnEmptyList) {
    testing::TempDir dir;
    FakeSysfs sysfs(dir.file("sys"));
    sysfs.add_virtual("tty0");
    PortSource source;
    source.use_environment = false;
    source.sysfs_root = dir.file("sys");
    PortList list;
    EXPECT_EQ(build_port_list(list, 3, 0, source), 0);
    EXPECT_EQ(port_for_attempt(list, 0), 0);
    EXPECT_EQ(list.log_line(), "COM PORT : ");
}

}  // namespace
}  // namespace kestrun
