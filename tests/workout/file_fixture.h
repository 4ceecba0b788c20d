#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_order.h"
#include "settings/library_state.h"
#include "support/temp_dir.h"
#include "workout/lap_record.h"
#include "workout/session_summary.h"
#include "workout/track_point.h"

// Builds workout files block by block from the documented byte tables, so the expected bytes of
// a test come from the format, not from the program's own writers.
namespace kestrun::testing {

inline const std::string kOldTrailer = std::string("\x0D\x0A\x1A\xAA\x55\x01\x01", 7);

class FileBytes {
public:
    FileBytes& header(std::string_view text, std::string_view trailer = {}) {
        std::size_t at = bytes_.size();
        bytes_.resize(at + 48, 0);
        std::copy(text.begin(), text.end(), bytes_.begin() + at);
        std::copy(trailer.begin(), trailer.end(), bytes_.begin() + at + text.size());
        return *this;
    }
    // Bytes 32..47 of the header just written.
    FileBytes& shift(std::string_view marker, const uint8_t (&reference)[6],
                     const uint8_t (&corrected)[6]) {
        std::copy(marker.begin(), marker.end(), bytes_.begin() + 32);
        std::memcpy(&bytes_[36], reference, 6);
        std::memcpy(&bytes_[42], corrected, 6);
        return *this;
    }
    FileBytes& name_block(uint32_t size, uint32_t length, std::string_view firmware,
                          const std::vector<uint8_t>& name) {
        std::size_t at = bytes_.size();
        bytes_.resize(at + size, 0);
        write_u32_le(&bytes_[at], size);
        write_u32_le(&bytes_[at + 4], length);
        std::copy(firmware.begin(), firmware.end(), bytes_.begin() + at + 8);
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), size - 16),
                    bytes_.begin() + at + 16);
        return *this;
    }
    FileBytes& count_block(uint32_t points, int lap_override = -1) {
        std::size_t at = bytes_.size();
        bytes_.resize(at + 16, 0);
        write_u32_le(&bytes_[at], points);
        if (lap_override >= 0) {
            std::memcpy(&bytes_[at + 4], "LAP", 4);
            write_u16_le(&bytes_[at + 8], static_cast<uint16_t>(lap_override));
        }
        return *this;
    }
    FileBytes& raw(const uint8_t* data, std::size_t size) {
        bytes_.insert(bytes_.end(), data, data + size);
        return *this;
    }
    FileBytes& summary(const SessionSummary& s) { return raw(s.bytes.data(), s.bytes.size()); }
    FileBytes& lap(const LapRecord& l) { return raw(l.bytes.data(), l.bytes.size()); }
    FileBytes& point(const TrackPoint& p) {
        raw(p.bytes.data(), p.bytes.size());
        bytes_.insert(bytes_.end(), 7, 0xAA);
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

inline std::vector<uint8_t> utf16le(std::u16string_view text) {
    std::vector<uint8_t> out;
    for (char16_t unit : text) {
        out.push_back(static_cast<uint8_t>(unit));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return out;
}

inline std::vector<uint8_t> latin(std::string_view text) {
    return {text.begin(), text.end()};
}

// Records whose every byte is set, the uninterpreted ones included, so a round trip shows loss.
inline TrackPoint sample_point(int i) {
    TrackPoint p;
    for (std::size_t k = 0; k < TrackPoint::kSize; ++k)
        p.bytes[k] = static_cast<uint8_t>(0x30 + i * 7 + k);
    p.set_datetime(11, 2, 7, 8, 25, static_cast<uint8_t>(i % 60));
    return p;
}

inline LapRecord sample_lap(int i) {
    LapRecord l;
    for (std::size_t k = 0; k < LapRecord::kSize; ++k)
        l.bytes[k] = static_cast<uint8_t>(0x90 + i * 3 + k);
    l.set_split(0, static_cast<uint8_t>(i), 5, 0x47);
    return l;
}

inline SessionSummary sample_summary(uint8_t lap_count) {
    SessionSummary s;
    for (std::size_t k = 0; k < SessionSummary::kSize; ++k)
        s.bytes[k] = static_cast<uint8_t>(0xC0 + k);
    s.set_lap_count(lap_count);
    s.set_start(11, 2, 7, 8, 25, 50);
    return s;
}

// A library whose workout folder is a temporary folder, restored afterwards.
class LibraryFixture {
public:
    LibraryFixture() : saved_(library_state().paths()) {
        LibraryPaths paths;
        paths.data_path = dir_.path();
        paths.user_name = "user";
        library_state().set_paths(paths);
        ::mkdir(workout_folder().c_str(), 0777);
    }
    ~LibraryFixture() { library_state().set_paths(saved_); }
    std::string workout_folder() const { return library_state().workout_folder(); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    LibraryPaths saved_;
};

}  // namespace kestrun::testing
