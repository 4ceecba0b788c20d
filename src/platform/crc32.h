#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kestrun {

// CRC-32 of IEEE 802.3 and zlib: reflected polynomial 0xEDB88320.
inline constexpr uint32_t kCrc32Initial = 0xFFFFFFFFu;

// Feeds bytes into a raw CRC register (no final complement); start with kCrc32Initial.
uint32_t crc32_update(uint32_t reg, std::span<const uint8_t> bytes);
uint32_t crc32_update(uint32_t reg, std::string_view bytes);

// The finished zlib CRC-32 of a byte block (initial FFFFFFFF, final complement).
uint32_t crc32(std::span<const uint8_t> bytes);
uint32_t crc32(std::string_view bytes);

}  // namespace kestrun
