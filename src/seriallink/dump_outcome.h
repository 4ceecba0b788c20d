#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/message.h"

// The outcome record the memory-dump conversation posts to the main window (message 3266): three
// 32-bit little-endian values, category, result and show flag, carried as the message's bytes.
namespace kestrun {

struct DumpOutcome {
    uint32_t category = 0;
    int32_t result = 0;
    uint32_t show = 0;
};

Message make_dump_outcome_message(int result);
// The record of a 3266 message; none for another message or a record of the wrong size.
std::optional<DumpOutcome> read_dump_outcome(const Message& message);
// What the main window shows for a memory-dump result: "No virtual COM port is found" for 0,
// "Error in communicating with the watch" for 1, in the current language; empty otherwise.
std::string dump_outcome_text(int result);

}  // namespace kestrun
