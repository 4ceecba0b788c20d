#include "stopwatch/stopwatch_memory.h"

#include "platform/byte_order.h"

namespace kestrun {

DirectoryEntry decode_directory_entry(const uint8_t* bytes) {
    DirectoryEntry entry;
    entry.session_number = bcd_word(read_u16_le(bytes));
    entry.lap_count = bcd_word(read_u16_le(bytes + 2));
    // Stored day, month, year, second, minute, hour.
    entry.start = {
        static_cast<uint8_t>(bcd_byte(bytes[6])), static_cast<uint8_t>(bcd_byte(bytes[5])),
        static_cast<uint8_t>(bcd_byte(bytes[4])), static_cast<uint8_t>(bcd_byte(bytes[9])),
        static_cast<uint8_t>(bcd_byte(bytes[8])), static_cast<uint8_t>(bcd_byte(bytes[7]))};
    entry.first_block = read_u16_le(bytes + 10);
    return entry;
}

}  // namespace kestrun
