#include "workout/workout_name.h"

#include <cstring>

#include "workout/file_writers.h"
#include "workout/record_io.h"
#include "workout/session_file.h"
#include "workout/track_log_file.h"
#include "workout/workout_file.h"

namespace kestrun {

namespace {

bool read_header(const std::string& path, uint8_t* header) {
    RecordReader in;
    return in.open(path) && in.read(header, kHeaderSize);
}

int change_session_file_name(const std::string& path, const std::string& name) {
    uint8_t header[kHeaderSize];
    if (!read_header(path, header))
        return -2;
    std::size_t length = 0;
    while (length < kHeaderSize && header[length] != 0)
        ++length;
    std::string_view text(reinterpret_cast<const char*>(header), length);
    if (text.find(kLapFileV20Text) != std::string_view::npos)
        return rewrite_name(path, name) == 0 ? 0 : -5;

    Workout workout;
    std::string old_name;
    int result = read_session_file(path, &workout, &old_name);
    if (result == -2)
        return -1;
    if (result != 0)
        return -2;  // a cut file is not rewritten: the rest of it would be lost
    return write_lap_file_to(path, workout, name) == kWriteOk ? 0 : -5;
}

int change_track_log_name(const std::string& path, const std::string& name) {
    int kind = 0;
    int version = 0;
    if (detect_workout_file(path, kind, version) != 0)
        return -2;
    if (version_has_utf16_name(kind, version))
        return rewrite_name(path, name) == 0 ? 0 : -5;

    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string old_name;
    if (read_track_log(path, &track, &workout, &shift, &old_name) != kReadOk)
        return -2;

    uint8_t header[kHeaderSize];
    if (!read_header(path, header))
        return -2;
    HeaderShiftBytes carried;
    if (shift.marked || (shift.reference_valid && shift.corrected_valid)) {
        carried.present = true;
        std::memcpy(carried.bytes, header + 32, 16);
    }
    int result =
        version_has_summary(kind, version)
            ? write_track_log_v23_to(path, workout, track, name, last_firmware_version(), carried)
            : write_track_only_v30_to(path, track, name, carried);
    return result == kWriteOk ? 0 : -5;
}

}  // namespace

int change_workout_name(const std::string& path, const std::string& name) {
    if (path.empty())
        return -1;
    std::string extension = file_extension(path);
    if (extension == "ss")
        return change_session_file_name(path, name);
    if (extension == "tkl")
        return change_track_log_name(path, name);
    return -1;
}

}  // namespace kestrun
