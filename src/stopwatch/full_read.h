#pragma once

#include <chrono>
#include <functional>

#include "platform/message.h"
#include "stopwatch/download.h"

// The packet dialog's read of the whole 8 KB stopwatch memory in 40-byte pieces.
namespace kestrun {

// Waits the pause; true when a stop was asked meanwhile.
using StopAwarePause = std::function<bool(std::chrono::milliseconds)>;

// Posts 4057 "Read EEPROM 0x%04X" before each piece and 4061 with each piece (bytes, wparam the
// address); on a failed read 4057 "Error code = 0x%04X" and the loop ends. Always ends with 4061
// wparam 0, lparam 1, except when a stop request ended it.
void run_full_read(const MemoryReader& read, MessageSink& owner, std::chrono::milliseconds pause,
                   const StopAwarePause& wait);

}  // namespace kestrun
