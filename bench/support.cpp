#include "support.h"

#include <fstream>
#include <string>

namespace kestrun::bench {

std::size_t peak_resident_bytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

void reset_peak_resident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

}  // namespace kestrun::bench
