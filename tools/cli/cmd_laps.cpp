#include <string>

#include "cli.h"
#include "settings/current_settings.h"
#include "settings/language.h"
#include "settings/settings_keys.h"
#include "ui/string_ids.h"
#include "workout/loaded_workout.h"
#include "workout/statistics.h"

namespace kestrun::cli {

int load_for_command(CliContext& context, const std::string& path, LoadedWorkout& loaded) {
    TrackFilterSettings settings{read_skip_not_fixed(), current_unit_system().time_zone_offset};
    UserMessage message;
    int result = load_workout_file(path, settings, loaded, &message);
    if (result == kLoadOk)
        return 0;
    if (!message.empty())
        return fail(context, message.text);
    return fail(context, "kestrun-cli: cannot read " + path + " as a workout");
}

int cmd_laps(CliContext& context) {
    LoadedWorkout loaded;
    if (load_for_command(context, context.args[0], loaded) != 0)
        return 1;
    auto labels = lap_summary_labels();
    LapSummary summary = lap_summary(&loaded.workout);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        std::fprintf(context.out, "%s\t%s\n", labels[i].c_str(), summary.values[i].c_str());
    }
    std::fprintf(context.out, "\n%s\t%s\t%s\n", GetText(kStrLap).c_str(),
                 GetText(kStrLapTime).c_str(), GetText(kStrSplitTime).c_str());
    for (const LapRow& row : lap_rows(loaded.workout)) {
        std::fprintf(context.out, "%s\t%s\t%s\n", row.number.c_str(), row.lap_time.c_str(),
                     row.split_time.c_str());
    }
    return 0;
}

}  // namespace kestrun::cli
