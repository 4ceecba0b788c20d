#pragma once

#include <cstdint>

// Little-endian field access for the packed records and reports. Records are always read and
// written field by field through these, never by casting a buffer to a struct.
namespace kestrun {

inline uint16_t read_u16_le(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t read_i16_le(const uint8_t* p) { return static_cast<int16_t>(read_u16_le(p)); }
inline uint32_t read_u32_le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t read_i32_le(const uint8_t* p) { return static_cast<int32_t>(read_u32_le(p)); }

inline void write_u16_le(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void write_i16_le(uint8_t* p, int16_t v) { write_u16_le(p, static_cast<uint16_t>(v)); }
inline void write_u32_le(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline void write_i32_le(uint8_t* p, int32_t v) { write_u32_le(p, static_cast<uint32_t>(v)); }

}  // namespace kestrun
