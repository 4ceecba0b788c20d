#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/message.h"
#include "stopwatch/stopwatch_link.h"
#include "workout/stopwatch_session.h"

// The download of the stopwatch memory: the directory scan, then each session's chain of lap
// blocks, into the session table, reporting progress, log lines and the end to its owner.
namespace kestrun {

using MemoryReader = std::function<ReadResult(uint16_t address, uint8_t count, uint8_t* out)>;

// Runs the whole download on the calling thread (the link's download thread). Posts 4054, 4055,
// 4056, 4060, then 4058 (1 success, 0 failure), or 4053 with 16 when the stopwatch holds no
// session, or 4053 with 17 before the failure end when the clip did not answer in the directory
// scan. A read ended by a stop request ends the download at once without any further message.
void run_download(const MemoryReader& read, MessageSink& owner, SessionTable& table);

// The four identification bytes of the last download (from address 0x000C), for the log file.
std::array<uint8_t, 4> stopwatch_identification();

}  // namespace kestrun
