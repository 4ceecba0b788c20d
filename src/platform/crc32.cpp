#include "platform/crc32.h"

#include <array>

namespace kestrun {

namespace {

constexpr std::array<uint32_t, 256> make_table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = make_table();

}  // namespace

uint32_t crc32_update(uint32_t reg, std::span<const uint8_t> bytes) {
    for (uint8_t b : bytes)
        reg = kTable[(reg ^ b) & 0xFF] ^ (reg >> 8);
    return reg;
}

uint32_t crc32_update(uint32_t reg, std::string_view bytes) {
    return crc32_update(reg, std::span<const uint8_t>(
                                 reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

uint32_t crc32(std::span<const uint8_t> bytes) {
    return ~crc32_update(kCrc32Initial, bytes);
}

uint32_t crc32(std::string_view bytes) {
    return ~crc32_update(kCrc32Initial, bytes);
}

}  // namespace kestrun
