#include "seriallink/watch_commands.h"

#include "platform/byte_order.h"
#include "platform/text_encoding.h"

namespace kestrun {

std::string version_text(const uint8_t* payload, std::size_t n) {
    if (n == 5) {
        return std::to_string(read_u16_le(payload + 1)) + "." +
               std::to_string(read_u16_le(payload + 3));
    }
    std::string text;
    for (std::size_t i = 1; i < n && payload[i] != 0 && text.size() < kMaxVersionText; ++i) {
        text.push_back(static_cast<char>(payload[i]));
    }
    // The watch speaks 8-bit text; the program holds UTF-8.
    return cp1252_to_utf8(text);
}

}  // namespace kestrun
