#include "workout/loaded_workout.h"

#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/library.h"
#include "workout/session_file.h"
#include "workout/track_log_file.h"

namespace kestrun {

int load_workout_file(const std::string& path, const TrackFilterSettings& settings,
                      LoadedWorkout& loaded, UserMessage* message) {
    loaded = LoadedWorkout{};
    const std::string file_name = path.substr(path.find_last_of('/') + 1);
    loaded.file_type = workout_file_type(file_name);
    if (loaded.file_type == kFileTypeTkl) {
        int kind = 0;
        int version = 0;
        if (detect_workout_file(path, kind, version) < 0)
            return kLoadFailed;
        if (read_track_log(path, &loaded.raw, &loaded.workout, &loaded.time_shift, &loaded.name) !=
            kReadOk) {
            return kLoadFailed;
        }
        prepare_tracks(loaded.raw, loaded.workout, loaded.time_shift, settings, loaded.tracks);
        return kLoadOk;
    }
    if (loaded.file_type == kFileTypeSs) {
        if (read_session_file(path, &loaded.workout, &loaded.name) == 0)
            return kLoadOk;
        if (message) {
            std::string format = GetText(kStrErrorLoadingSessionSummary);
            std::string text;
            auto at = format.find("%s");
            text = at == std::string::npos
                       ? format
                       : format.substr(0, at) + file_name + format.substr(at + 2);
            *message = UserMessage{kStrErrorLoadingSessionSummary, text, false};
        }
        return kLoadFailed;
    }
    return kLoadNotOpenable;
}

}  // namespace kestrun
