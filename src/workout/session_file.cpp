#include "workout/session_file.h"

#include <cstring>
#include <string_view>

#include "platform/atomic_file.h"
#include "settings/library_state.h"
#include "workout/file_writers.h"
#include "workout/record_io.h"
#include "workout/track_log_file.h"
#include "workout/workout_file.h"

namespace kestrun {

namespace {

constexpr std::string_view kSessionSummaryV10 =
    "<< Watch Session Summary v1.0\x0D\x0A\x1A\xAA\x55\x01\x01";
constexpr std::string_view kLapFileV10 = "<< Watch Lap File v1.0\x0D\x0A\x1A\xAA\x55\x01\x01";

}  // namespace

int read_session_file(const std::string& path, Workout* workout, std::string* name) {
    if (workout)
        workout->clear();
    if (!workout || path.empty())
        return -1;
    if (name)
        name->clear();

    RecordReader in;
    if (!in.open(path))
        return -2;
    uint8_t header[kHeaderSize];
    if (!in.read(header, sizeof header))
        return -2;
    std::size_t length = 0;
    while (length < kHeaderSize && header[length] != 0)
        ++length;
    std::string_view text(reinterpret_cast<const char*>(header), length);

    // Substring tests, in this order, as the header may carry its text anywhere.
    std::string parsed_name;
    if (text.find(kSessionSummaryV10) != std::string_view::npos) {
        // no name block
    } else if (text.find(kLapFileV10) != std::string_view::npos) {
        uint8_t block[kShortNameBlockSize];
        if (!in.read(block, sizeof block))
            return -2;
        parsed_name = parse_name(block, sizeof block, false);
    } else if (text.find(kLapFileV20Text) != std::string_view::npos) {
        uint8_t block[kLongNameBlockSize];
        if (!in.read(block, sizeof block))
            return -2;
        parsed_name = parse_name(block, sizeof block, true);
    } else {
        return -2;
    }
    if (name)
        *name = parsed_name;

    if (!in.read(workout->summary.bytes.data(), SessionSummary::kSize))
        return -2;
    for (std::size_t i = 0; i < workout->summary.lap_count(); ++i) {
        LapRecord lap;
        if (!in.read(lap.bytes.data(), LapRecord::kSize))
            return kReadTruncated;
        workout->add_lap(lap);
    }
    return 0;
}

int write_lap_file_to(const std::string& path, const Workout& workout, const std::string& name) {
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kLapFileV20Text.data(), kLapFileV20Text.size());
    uint8_t name_block[kLongNameBlockSize];
    build_long_name_block(name_block, {}, name);

    AtomicFileWriter out;
    if (!out.open(path))
        return kWriteFailed;
    out.write(header, sizeof header);
    out.write(name_block, sizeof name_block);
    out.write(workout.summary.bytes.data(), SessionSummary::kSize);
    for (const LapRecord& lap : workout.laps())
        out.write(lap.bytes.data(), LapRecord::kSize);
    return out.commit() ? kWriteOk : kWriteFailed;
}

int write_lap_file(const Workout& workout, const std::string& name, std::string* file_name) {
    std::string folder = library_state().workout_folder();
    if (!is_directory(folder))
        return -1;
    std::string bare = start_file_name(summary_start(workout.summary), "ss");
    std::string path;
    if (int result = prepare_workout_path(folder, bare, path, -2, -4); result != 0)
        return result;
    int result = write_lap_file_to(path, workout, name);
    if (result == kWriteOk && file_name)
        *file_name = bare;
    return result;
}

}  // namespace kestrun
