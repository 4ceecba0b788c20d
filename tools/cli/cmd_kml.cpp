#include <string>

#include "cli.h"
#include "export/kml_user.h"
#include "export/kml_writer.h"
#include "settings/current_settings.h"
#include "settings/language.h"
#include "settings/settings_keys.h"
#include "ui/string_ids.h"
#include "workout/library.h"
#include "workout/track_filters.h"
#include "workout/track_log_file.h"

namespace kestrun::cli {

int cmd_kml(CliContext& context) {
    const std::string& path = context.args[0];
    if (workout_file_type(path.substr(path.find_last_of('/') + 1)) != kFileTypeTkl) {
        return fail(context, "kestrun-cli: only track log files (.tkl) have a track");
    }
    TrackLog raw;
    Workout workout;
    HeaderTimeShift shift;
    std::string name;
    if (read_track_log(path, &raw, &workout, &shift, &name) != kReadOk) {
        return fail(context, "kestrun-cli: cannot read " + path + " as a workout");
    }
    // The browser's display track, made without the copies only the browser needs.
    TrackFilterSettings settings{read_skip_not_fixed(), current_unit_system().time_zone_offset};
    TrackLog display = prepare_display_track(std::move(raw), workout, shift, settings);
    int result =
        write_workout_kml(&display, context.args[1], current_kml_options(), current_kml_user());
    if (result == kKmlNoPosition || result == kKmlNoTrack) {
        return fail(context, GetText(kStrNoGpsData));
    }
    if (result != kKmlWritten)
        return fail(context, GetText(kStrErrorSavingFile));
    return 0;
}

}  // namespace kestrun::cli
