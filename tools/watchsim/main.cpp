// kestrun-watchsim: a simulated GPS watch on a pseudo-terminal.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "watch_simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: kestrun-watchsim [--link PATH] [--version TEXT | --version-numbers A.B] "
    "[--fault KIND]...\n"
    "\n"
    "Opens a pseudo-terminal, answers the watch commands on it and prints the path of its\n"
    "terminal. Ends on SIGINT or SIGTERM.\n"
    "\n"
    "  --link PATH            also make PATH a symbolic link to the terminal\n"
    "  --version TEXT         answer the version command with TEXT (default 1.00)\n"
    "  --version-numbers A.B  answer it with the two 16-bit numbers A and B\n"
    "  --fault KIND           silent, no-status, short-status, garbage or checksum\n"
    "\n"
    "Point the program at the terminal with KESTRUN_SERIAL_PORTS=PATH.\n";

bool parse_numbers(const char* text, uint16_t& major, uint16_t& minor) {
    char* end = nullptr;
    const unsigned long a = std::strtoul(text, &end, 10);
    if (end == text || *end != '.' || a > 0xFFFF)
        return false;
    const char* second = end + 1;
    const unsigned long b = std::strtoul(second, &end, 10);
    if (end == second || *end != '\0' || b > 0xFFFF)
        return false;
    major = static_cast<uint16_t>(a);
    minor = static_cast<uint16_t>(b);
    return true;
}

int usage_error(const char* text, const char* argument) {
    std::fprintf(stderr, "kestrun-watchsim: %s%s\n%s", text, argument, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    kestrun::WatchSimulatorOptions options;
    std::string link_path;
    bool have_text = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg != "--link" && arg != "--version" && arg != "--version-numbers" &&
            arg != "--fault") {
            return usage_error("unknown argument ", argv[i]);
        }
        if (i + 1 >= argc)
            return usage_error("missing value after ", argv[i]);
        const char* value = argv[++i];
        if (arg == "--link") {
            link_path = value;
        } else if (arg == "--version") {
            if (options.version_numbers)
                return usage_error("give only one version", "");
            options.version_text = value;
            have_text = true;
        } else if (arg == "--version-numbers") {
            uint16_t major = 0, minor = 0;
            if (have_text)
                return usage_error("give only one version", "");
            if (!parse_numbers(value, major, minor))
                return usage_error("not A.B: ", value);
            options.version_numbers = std::make_pair(major, minor);
        } else {
            const auto fault = kestrun::parse_watch_fault(value);
            if (!fault)
                return usage_error("unknown fault ", value);
            options.faults.push_back(*fault);
        }
    }

    // The signals are taken by sigwait below; blocked before any thread starts so that none of
    // them receives one.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    kestrun::WatchSimulator watch(options);
    if (!watch.start()) {
        std::fprintf(stderr, "kestrun-watchsim: cannot open a pseudo-terminal: %s\n",
                     std::strerror(errno));
        return 1;
    }
    if (!link_path.empty()) {
        ::unlink(link_path.c_str());
        if (::symlink(watch.terminal_path().c_str(), link_path.c_str()) != 0) {
            std::fprintf(stderr, "kestrun-watchsim: cannot link %s: %s\n", link_path.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    std::printf("%s\n", watch.terminal_path().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    watch.stop();
    if (!link_path.empty())
        ::unlink(link_path.c_str());
    return 0;
}
