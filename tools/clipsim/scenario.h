#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The simulated stopwatch's memory, built from a text scenario of sessions and laps.
//
// Scenario lines (blank lines and text after '#' are ignored):
//   id AA BB CC DD            the identification bytes at 0x000C (hexadecimal)
//   session YYYY-MM-DD hh:mm:ss [slot N] [number N] [blocks A,B,...]
//                             a new session: its start, its directory slot (0-98; default the
//                             next free one), its session number (default slot + 1) and the
//                             number of laps of each lap block of its chain, the last size
//                             repeating (default: one block with every lap)
//   lap h:mm:ss.hh            a lap of the current session: its cumulative time
//   laps N h:mm:ss.hh         N laps, each that much later than the one before
//   lap-bytes AA BB CC DD     a lap as its four stored bytes (hundredths, seconds, minutes,
//                             hours), e.g. an invalid one
// Lap blocks are laid out one after the other from 0x0640; the directory count of a session is
// its number of laps.
namespace kestrun::clipsim {

constexpr std::size_t kImageSize = 8192;
constexpr uint16_t kFirstBlockAddress = 0x0640;
using MemoryImage = std::array<uint8_t, kImageSize>;

struct ScenarioSession {
    int slot = -1;    // -1: the next free slot
    int number = -1;  // -1: slot + 1
    int year = 2011, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::vector<int> block_sizes;  // empty: one block
    std::vector<uint32_t> laps;    // stored form: hundredths in the lowest byte, hours highest
};

struct Scenario {
    std::array<uint8_t, 4> identification{0x01, 0x02, 0x03, 0x04};
    std::vector<ScenarioSession> sessions;
};

// Parses a scenario text. Empty `error` on success; otherwise "line N: what is wrong".
Scenario parse_scenario(const std::string& text, std::string& error);
// Builds the memory image. Empty `error` on success (too many sessions or laps for 8 KB fail).
MemoryImage build_image(const Scenario& scenario, std::string& error);
// The stored form of a cumulative lap time.
uint32_t lap_value(int hours, int minutes, int seconds, int hundredths);

}  // namespace kestrun::clipsim
