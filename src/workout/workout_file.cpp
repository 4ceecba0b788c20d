#include "workout/workout_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/byte_order.h"
#include "platform/text_encoding.h"
#include "workout/record_io.h"
#include "workout/value_rules.h"

namespace kestrun {

namespace {

constexpr char kOldTrailer[] = "\x0D\x0A\x1A\xAA\x55\x01\x01";

std::string with_trailer(std::string_view text) {
    return std::string(text) + kOldTrailer;
}

StoredDateTime shift_time_at(const uint8_t* p) {
    // Stored second, minute, hour, day, month, year - 2000.
    StoredDateTime t;
    t.second = p[0];
    t.minute = p[1];
    t.hour = p[2];
    t.day = p[3];
    t.month = p[4];
    t.year = p[5];
    return t;
}

}  // namespace

HeaderTimeShift parse_header_time_shift(const uint8_t* header) {
    HeaderTimeShift shift;
    shift.marked = std::memcmp(header + 32, "PAT\0", 4) == 0;
    shift.reference_time = shift_time_at(header + 36);
    shift.corrected_time = shift_time_at(header + 42);
    shift.reference_valid = is_valid_shift_time(shift.reference_time);
    shift.corrected_valid = is_valid_shift_time(shift.corrected_time);
    return shift;
}

bool is_valid_shift_time(const StoredDateTime& t) {
    return is_valid_datetime(t.year, t.month, t.day, t.hour, t.minute, t.second) &&
           t.minute <= 59 && t.second <= 59;
}

StoredDateTime summary_start(const SessionSummary& summary) {
    return StoredDateTime{summary.start_year(), summary.start_month(),  summary.start_day(),
                          summary.start_hour(), summary.start_minute(), summary.start_second()};
}

StoredDateTime effective_start_time(const SessionSummary& summary, const HeaderTimeShift& shift) {
    StoredDateTime start = summary_start(summary);
    if (!shift.reference_valid || !shift.corrected_valid)
        return start;
    const StoredDateTime& s = start;
    if (!is_valid_datetime(s.year, s.month, s.day, s.hour, s.minute, s.second))
        return start;
    int64_t delta =
        seconds_since_2000(shift.corrected_time) - seconds_since_2000(shift.reference_time);
    auto moved = shift_datetime(start, delta);
    return moved ? *moved : start;
}

void detect_header(const uint8_t* header, int& kind, int& version) {
    // The header text runs up to the first zero byte of the 48 read.
    std::size_t length = 0;
    while (length < kHeaderSize && header[length] != 0)
        ++length;
    std::string_view text(reinterpret_cast<const char*>(header), length);
    auto contains = [&](std::string_view needle) {
        return text.find(needle) != std::string_view::npos;
    };

    kind = 0;
    version = 0;
    if (text == with_trailer("<< Watch Session Summary v1.0")) {
        kind = 1;
    } else if (text == with_trailer("<< Watch Session Summary v1.1")) {
        kind = 1;
        version = 1;
    } else if (contains(with_trailer("<< Watch Track Log File v2.0"))) {
        kind = 2;
    } else if (contains(with_trailer("<< Watch Track Log File v2.1"))) {
        kind = 2;
        version = 1;
    } else if (contains(with_trailer("<< Watch Track Log File v2.2"))) {
        kind = 2;
        version = 2;
    } else if (contains(kTrackLogV23Text)) {
        kind = 2;
        version = 3;
    } else if (contains(kTrackLogV30Text)) {
        kind = 3;
    }
}

int detect_workout_file(const std::string& path, int& kind, int& version) {
    kind = 0;
    version = 0;
    if (path.empty())
        return -1;
    if (file_extension(path) != "tkl")
        return -2;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return -3;
    uint8_t header[kHeaderSize] = {};
    in.read(reinterpret_cast<char*>(header), kHeaderSize);
    // A short file is detected on the bytes it has; the reader then finds it too short.
    detect_header(header, kind, version);
    return 0;
}

bool version_has_summary(int kind, int version) {
    return (kind == 1 && version == 1) || (kind == 2 && version >= 1 && version <= 3);
}

bool version_has_name_block(int kind, int /*version*/) {
    return kind == 2 || kind == 3;
}

std::size_t name_block_size(int kind, int version) {
    if (!version_has_name_block(kind, version))
        return 0;
    return version_has_utf16_name(kind, version) ? kLongNameBlockSize : kShortNameBlockSize;
}

bool version_has_firmware(int kind, int version) {
    return kind == 2 && (version == 2 || version == 3);
}

bool version_has_utf16_name(int kind, int version) {
    return (kind == 2 && version == 3) || (kind == 3 && version == 0);
}

void build_long_name_block(uint8_t* block, std::string_view firmware_text, std::string_view name) {
    std::memset(block, 0, kLongNameBlockSize);
    write_u32_le(block, kLongNameBlockSize);
    write_u32_le(block + 4, 128);
    std::copy_n(firmware_text.begin(), std::min<std::size_t>(firmware_text.size(), 8), block + 8);
    utf8_to_utf16le_bytes(name, block + 16, kMaxNameUnits);
}

std::string parse_name(const uint8_t* block, std::size_t block_size, bool utf16) {
    // The length field is the file's word; the name area is the limit.
    std::size_t area = block_size - 16;
    std::size_t length = read_u32_le(block + 4);
    if (length > area)
        length = area;
    if (utf16)
        return utf16le_bytes_to_utf8(block + 16, length);
    std::size_t end = 0;
    while (end < length && block[16 + end] != 0)
        ++end;
    return cp1252_to_utf8(std::string_view(reinterpret_cast<const char*>(block + 16), end));
}

// Numbers in files never follow the user's locale: "1.00" is always one and two zeros.
double parse_firmware_version(const uint8_t* block) {
    const char* begin = reinterpret_cast<const char*>(block + 8);
    const char* end = begin;
    while (end < begin + 8 && *end != 0)
        ++end;
    while (begin < end && (*begin == ' ' || *begin == '+'))
        ++begin;
    double value = 0;
    auto [ptr, error] = std::from_chars(begin, end, value);
    (void)ptr;
    return error == std::errc() ? value : 0;
}

std::string format_firmware_version(double version) {
    char text[64];
    auto [ptr, error] =
        std::to_chars(text, text + sizeof text, version, std::chars_format::fixed, 2);
    if (error != std::errc())
        return "0.00";
    return std::string(text, ptr);
}

std::string start_file_name(const StoredDateTime& start, std::string_view extension) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u.", start.year + 2000u,
                  unsigned{start.month}, unsigned{start.day}, unsigned{start.hour},
                  unsigned{start.minute}, unsigned{start.second});
    return std::string(text) + std::string(extension);
}

}  // namespace kestrun
