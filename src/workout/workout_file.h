#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "workout/session_summary.h"
#include "workout/stored_datetime.h"

// The blocks every workout file is built from: the 48-byte header with its text and time-shift
// marker, the name block, the count block, and the table of versions.
namespace kestrun {

constexpr std::size_t kHeaderSize = 48;
constexpr std::size_t kShortNameBlockSize = 80;
constexpr std::size_t kLongNameBlockSize = 144;
constexpr std::size_t kCountBlockSize = 16;
constexpr std::size_t kPointSlotSize = 32;  // 25 bytes of point, 7 bytes 0xAA
constexpr std::size_t kMaxNameUnits = 64;

// The "PAT" marker of a header: a reference time and a corrected time (bytes 36..47, each stored
// second, minute, hour, day, month, year - 2000).
struct HeaderTimeShift {
    bool marked = false;
    StoredDateTime reference_time;
    StoredDateTime corrected_time;
    bool reference_valid = false;
    bool corrected_valid = false;
};

// Reads the marker and both times from a 48-byte header; times are taken with or without it.
HeaderTimeShift parse_header_time_shift(const uint8_t* header);
// Strict validity for shift times: seconds and minutes 0..59.
bool is_valid_shift_time(const StoredDateTime& t);

// The summary's start, moved by corrected - reference when both shift times are valid.
StoredDateTime effective_start_time(const SessionSummary& summary, const HeaderTimeShift& shift);
StoredDateTime summary_start(const SessionSummary& summary);

// Results: 0 with kind and version set; -1 empty path; -2 the extension is not "tkl" (any case);
// -3 the file cannot be opened. An unrecognised header gives kind 0, version 0.
int detect_workout_file(const std::string& path, int& kind, int& version);
// The same tests on the 48 header bytes already read.
void detect_header(const uint8_t* header, int& kind, int& version);

bool version_has_summary(int kind, int version);
bool version_has_name_block(int kind, int version);
std::size_t name_block_size(int kind, int version);  // 0, 80 or 144
bool version_has_firmware(int kind, int version);
// True for the versions whose name is UTF-16 (v2.3U, v3.0U).
bool version_has_utf16_name(int kind, int version);

// Header texts of the written formats (without trailing bytes).
inline constexpr std::string_view kTrackLogV23Text = "<< Watch Track Log File v2.3U";
inline constexpr std::string_view kTrackLogV30Text = "<< Watch Track Log File v3.0U";
inline constexpr std::string_view kLapFileV20Text = "<< Watch Lap File v2.0U";

// Builds a name block of 144 bytes: 144, 128, the firmware text (or zeros when `firmware` is
// empty), and the first 64 characters of `name` as UTF-16LE.
void build_long_name_block(uint8_t* block, std::string_view firmware_text, std::string_view name);
// Reads the name from a name block read from a file: never beyond the block's name area,
// whatever its length field says. `utf16` selects UTF-16LE, else Windows-1252 text.
std::string parse_name(const uint8_t* block, std::size_t block_size, bool utf16);
// The firmware text at offset 8 of a name block parsed as a number (0 when it holds none).
double parse_firmware_version(const uint8_t* block);
std::string format_firmware_version(double version);  // "%.2f"

// The bare file name "YYYYMMDDhhmmss.<extension>" of a start time.
std::string start_file_name(const StoredDateTime& start, std::string_view extension);

}  // namespace kestrun
