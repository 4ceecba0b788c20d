// kestrun-clipsim: the stopwatch clip and its memory, simulated on a Unix socket.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "clip_server.h"
#include "platform/atomic_file.h"
#include "platform/sim_clip_transport.h"

using namespace kestrun;
using namespace kestrun::clipsim;

namespace {

const char kUsage[] =
    "usage: kestrun-clipsim [--socket PATH] (--image FILE | --scenario FILE) [--delay-ms N]\n"
    "                       [--fault KIND@N]... [--write-image FILE]\n"
    "\n"
    "Simulates the stopwatch clip (USB HID 1130:0202) and the stopwatch memory on a Unix\n"
    "SOCK_SEQPACKET socket, one report per message. Prints \"ready\" once it listens and ends on\n"
    "SIGINT or SIGTERM, removing its socket.\n"
    "\n"
    "  --socket PATH       default $KESTRUN_CLIP_SOCKET, else $XDG_RUNTIME_DIR/kestrun/clip.sock,\n"
    "                      else /tmp/kestrun-UID/clip.sock\n"
    "  --image FILE        serve this 8,192-byte memory image as it is\n"
    "  --scenario FILE     build the image from a scenario (below)\n"
    "  --delay-ms N        wait N milliseconds before each answer\n"
    "  --fault KIND@N      act on the N-th report received (from 1): silent (no answer), late\n"
    "                      (answer after 6 s), checksum (wrong checksum), repeat (the previous\n"
    "                      answer's sequence number), short (one data byte fewer than asked),\n"
    "                      long (payload length 45), unplug (close and remove the socket)\n"
    "  --write-image FILE  write the image served\n"
    "\n"
    "Scenario lines (blank lines and text after '#' are ignored):\n"
    "  id AA BB CC DD            identification bytes at 0x000C (hexadecimal)\n"
    "  session YYYY-MM-DD hh:mm:ss [slot N] [number N] [blocks A,B,...]\n"
    "                            a new session: its start, its directory slot (0-98, default the\n"
    "                            next free one), its session number (default slot + 1), and the\n"
    "                            laps of each lap block of its chain, the last size repeating\n"
    "                            (default: one block with every lap)\n"
    "  lap h:mm:ss.hh            a lap: its cumulative time\n"
    "  laps N h:mm:ss.hh         N laps, each that much later than the one before\n"
    "  lap-bytes AA BB CC DD     a lap as its stored bytes (hundredths, seconds, minutes, hours)\n";

bool read_file(const std::string& path, std::string& out) {
    return read_whole_file(path, out, 1 << 20) == 0;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "kestrun-clipsim: %s\n", text.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string socket_path, image_path, scenario_path, write_path;
    std::vector<Fault> faults;
    long delay_ms = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--socket") {
            if (!value(socket_path))
                return fail("--socket needs a path");
        } else if (arg == "--image") {
            if (!value(image_path))
                return fail("--image needs a file");
        } else if (arg == "--scenario") {
            if (!value(scenario_path))
                return fail("--scenario needs a file");
        } else if (arg == "--write-image") {
            if (!value(write_path))
                return fail("--write-image needs a file");
        } else if (arg == "--delay-ms") {
            char* end = nullptr;
            if (!value(text) || (delay_ms = std::strtol(text.c_str(), &end, 10)) < 0 ||
                *end != '\0')
                return fail("--delay-ms needs a number of milliseconds");
        } else if (arg == "--fault") {
            if (!value(text))
                return fail("--fault needs KIND@N");
            const auto fault = parse_fault(text);
            if (!fault)
                return fail("unknown fault " + text);
            faults.push_back(*fault);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (image_path.empty() == scenario_path.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    MemoryImage image;
    std::string content;
    if (!image_path.empty()) {
        if (!read_file(image_path, content))
            return fail("cannot read " + image_path);
        if (content.size() != kImageSize)
            return fail(image_path + " is not an 8,192-byte image");
        std::copy(content.begin(), content.end(), image.begin());
    } else {
        if (!read_file(scenario_path, content))
            return fail("cannot read " + scenario_path);
        std::string error;
        const Scenario scenario = parse_scenario(content, error);
        if (!error.empty())
            return fail(scenario_path + ": " + error);
        image = build_image(scenario, error);
        if (!error.empty())
            return fail(scenario_path + ": " + error);
    }
    if (!write_path.empty() &&
        write_file_atomically(write_path, std::span<const uint8_t>(image.data(), image.size())) !=
            0)
        return fail("cannot write " + write_path);

    // The signals are taken by sigwait, so the server's thread never sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ServerOptions options;
    options.socket_path = socket_path.empty() ? default_clip_socket_path() : socket_path;
    options.delay = std::chrono::milliseconds(delay_ms);
    ClipServer server(image, faults, options);
    std::string error;
    if (!server.start(error))
        return fail(error);
    std::printf("ready\n");
    std::fflush(stdout);

    int received = 0;
    while (sigwait(&signals, &received) != 0) {
    }
    server.stop();
    return 0;
}
