#include <cinttypes>
#include <cstdio>
#include <string>

#include "cli.h"
#include "workout/loaded_workout.h"
#include "workout/record_io.h"
#include "workout/track_log_file.h"
#include "workout/workout_file.h"

namespace kestrun::cli {

namespace {

// The header text without "<< Watch " and without the trailing bytes of the older versions.
std::string format_of(const std::string& path) {
    RecordReader in;
    uint8_t header[kHeaderSize] = {};
    if (!in.open(path) || !in.read(header, sizeof header))
        return "unrecognised";
    std::size_t length = 0;
    while (length < kHeaderSize && header[length] >= 0x20 && header[length] < 0x7F)
        ++length;
    std::string text(reinterpret_cast<const char*>(header), length);
    const std::string prefix = "<< Watch ";
    if (text.rfind(prefix, 0) != 0)
        return "unrecognised";
    return text.substr(prefix.size());
}

std::string datetime_text(const StoredDateTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.year + 2000u,
                  unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second});
    return text;
}

}  // namespace

int cmd_info(CliContext& context) {
    const std::string& path = context.args[0];
    std::string extension = file_extension(path);
    Workout workout;
    TrackLog track;
    HeaderTimeShift shift;
    std::string name;
    int kind = 0;
    int version = 0;
    bool has_summary = false;

    if (extension == "ss") {
        // Opened as the workout browser opens it, with the browser's message on failure.
        LoadedWorkout loaded;
        UserMessage message;
        if (load_workout_file(path, TrackFilterSettings{}, loaded, &message) != kLoadOk)
            return fail(context, message.text);
        workout = std::move(loaded.workout);
        name = std::move(loaded.name);
        has_summary = true;
        RecordReader in;
        uint8_t header[kHeaderSize] = {};
        if (in.open(path) && in.read(header, sizeof header))
            shift = parse_header_time_shift(header);
    } else {
        int detected = detect_workout_file(path, kind, version);
        if (detected == -2)
            return fail(context, "Not a workout file: " + path);
        if (detected < 0)
            return fail(context, "Cannot open " + path);
        int result = read_track_log(path, &track, &workout, &shift, &name);
        if (result < 0)
            return fail(context, "Error in loading workout file '" + path + "' !");
        if (result == kReadTruncated)
            std::fprintf(context.err,
                         "warning: the file ends early; its complete records are shown\n");
        has_summary = version_has_summary(kind, version);
    }

    std::FILE* out = context.out;
    std::string format = kind == 0 && extension == "tkl" ? "unrecognised" : format_of(path);
    std::fprintf(out, "format: %s\n", format.c_str());
    if (extension != "ss")
        std::fprintf(out, "kind: %d\nversion: %d\n", kind, version);
    std::fprintf(out, "name: %s\n", name.c_str());
    std::fprintf(out, "firmware: %s\n", format_firmware_version(last_firmware_version()).c_str());
    std::fprintf(out, "points: %zu\n", track.size());
    std::fprintf(out, "laps: %zu\n", workout.lap_count_in_list());
    std::fprintf(out, "start: %s\n",
                 has_summary ? datetime_text(summary_start(workout.summary)).c_str() : "-");
    std::fprintf(out, "time shift: %s\n", shift.marked ? "marked" : "unmarked");
    std::fprintf(
        out, "effective start: %s\n",
        has_summary ? datetime_text(effective_start_time(workout.summary, shift)).c_str() : "-");
    return 0;
}

}  // namespace kestrun::cli
