#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The log file "watch.log" in the folder "Kestrun" of the user's documents folder: a short
// record of the environment at each start and of each stopwatch download. After every block a
// seal line "; -------- %08lX-%08lX --------" is appended: the CRC-32 of every byte before it and
// that CRC XOR kLogSealMask. Lines end with CR LF. Failures are silent: the program goes on
// without its log. Call from one thread at a time (the user-interface thread).
namespace kestrun {

// The second number of a seal line is the first XOR this mask ("KEST" in ASCII).
inline constexpr uint32_t kLogSealMask = 0x4B455354;

std::string log_file_path();

// Re-creates the file with the seven start lines, then seals it.
void CreateLog();
// Appends one line (a line feed inside it becomes CR LF) and seals the file.
void AppendLogLine(std::string_view text);
// Seals the block just written: appends the seal line. Nothing when no block is pending.
void SealLog();

// The seal line for a CRC.
std::string log_seal_line(uint32_t crc);

}  // namespace kestrun
