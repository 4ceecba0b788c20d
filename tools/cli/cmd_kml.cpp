#include <string>

#include "cli.h"
#include "export/kml_user.h"
#include "export/kml_writer.h"
#include "settings/current_settings.h"
#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/library.h"
#include "workout/loaded_workout.h"
#include "workout/value_rules.h"

namespace kestrun::cli {

int load_for_command(CliContext& context, const std::string& path, LoadedWorkout& loaded);

int cmd_kml(CliContext& context) {
    const std::string& path = context.args[0];
    if (workout_file_type(path.substr(path.find_last_of('/') + 1)) != kFileTypeTkl) {
        return fail(context, "kestrun-cli: only track log files (.tkl) have a track");
    }
    LoadedWorkout loaded;
    if (load_for_command(context, path, loaded) != 0)
        return 1;
    int result = write_workout_kml(&loaded.tracks.display, context.args[1], current_kml_options(),
                                   current_kml_user());
    if (result == kKmlNoPosition || result == kKmlNoTrack)
        return fail(context, GetText(kStrNoGpsData));
    if (result != kKmlWritten)
        return fail(context, GetText(kStrErrorSavingFile));
    return 0;
}

}  // namespace kestrun::cli
