#include "workout/import.h"

#include <filesystem>
#include <system_error>

#include "platform/text_encoding.h"
#include "settings/language.h"
#include "settings/library_state.h"
#include "ui/string_ids.h"
#include "workout/file_copy.h"
#include "workout/formatting.h"
#include "workout/library.h"
#include "workout/track_log_file.h"
#include "workout/workout_file.h"

namespace kestrun {
namespace {

namespace fs = std::filesystem;

ImportResult with_message(LibraryOutcome outcome, int id, std::string text) {
    ImportResult result;
    result.outcome = outcome;
    result.message = UserMessage{id, std::move(text), false};
    return result;
}

ImportResult invalid_name() {
    return with_message(LibraryOutcome::kRefused, kStrInvalidFilename,
                        GetText(kStrInvalidFilename));
}

// The start-time name of a track log, or empty when the file cannot be read or names nothing.
std::string track_log_name(const std::string& path, int32_t time_zone_offset) {
    int kind = 0;
    int version = 0;
    if (detect_workout_file(path, kind, version) != 0)
        return {};
    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    if (read_track_log(path, &track, &workout, &shift, &name) != kReadOk)
        return {};
    if (version_has_summary(kind, version)) {
        return start_file_name(effective_start_time(workout.summary, shift), "tkl");
    }
    // A track without a summary has no start time: it is named after its first point, as the
    // track-only writer names it.
    if (track.empty())
        return {};
    const TrackPoint& first = track.at(0);
    std::string stamp = point_local_stamp(first, time_zone_offset);
    if (!stamp.empty())
        return stamp + ".tkl";
    return start_file_name(StoredDateTime{first.year(), first.month(), first.day(), first.hour(),
                                          first.minute(), first.second()},
                           "tkl");
}

}  // namespace

ImportResult import_workout(const std::string& path, int32_t time_zone_offset) {
    std::string file_name = fs::path(path).filename().string();
    auto dot = file_name.rfind('.');
    std::string_view extension =
        dot == std::string::npos ? std::string_view{} : std::string_view(file_name).substr(dot + 1);

    if (equals_ignoring_case(extension, "ss") && utf16_length(file_name) != 17) {
        return invalid_name();
    }
    if (equals_ignoring_case(extension, "tkl")) {
        file_name = track_log_name(path, time_zone_offset);
        if (file_name.empty())
            return {};
    }
    // The year and month folders come from the name's first six characters, which must be there.
    if (file_name.size() < 7 || file_name.find('.') < 6)
        return invalid_name();

    const std::string base = library_state().workout_folder();
    const std::string year = file_name.substr(0, 4);
    const std::string month = file_name.substr(4, 2);
    const std::string target = base + "/" + year + "/" + month + "/" + file_name;

    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) {
        return with_message(LibraryOutcome::kRefused, kStrFileExistError,
                            GetText(kStrFileExistError) + "\r\n\r\n" + file_name);
    }
    if (!ensure_subfolder(base, year) || !ensure_subfolder(base + "/" + year, month))
        return {};

    if (copy_file_safely(path, target, false) != kCopyOk) {
        return with_message(LibraryOutcome::kFailed, kStrErrorImportingFile,
                            GetText(kStrErrorImportingFile));
    }
    scan_library();
    ImportResult result =
        with_message(LibraryOutcome::kDone, kStrImportFileDone, GetText(kStrImportFileDone));
    result.file_name = file_name;
    return result;
}

}  // namespace kestrun
