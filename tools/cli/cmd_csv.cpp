#include <string>

#include "cli.h"
#include "export/lap_export.h"
#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/library.h"
#include "workout/loaded_workout.h"

namespace kestrun::cli {

int load_for_command(CliContext& context, const std::string& path, LoadedWorkout& loaded);

int cmd_csv(CliContext& context) {
    const std::string& path = context.args[0];
    // The Export command exports track logs only.
    if (workout_file_type(path.substr(path.find_last_of('/') + 1)) != kFileTypeTkl) {
        return fail(context, "kestrun-cli: only track log files (.tkl) are exported");
    }
    LoadedWorkout loaded;
    if (load_for_command(context, path, loaded) != 0)
        return 1;
    if (write_lap_csv(&loaded.workout, context.args[1]) != kLapCsvWritten) {
        return fail(context, GetText(kStrErrorSavingFile));
    }
    return 0;
}

}  // namespace kestrun::cli
