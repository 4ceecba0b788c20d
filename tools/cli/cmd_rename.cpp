#include "cli.h"
#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/workout_name.h"

namespace kestrun::cli {

int cmd_rename(CliContext& context) {
    int result = change_workout_name(context.args[0], context.args[1]);
    switch (result) {
        case 0:
            std::fprintf(context.out, "%s\n", GetText(kStrFileSaved).c_str());
            return 0;
        case -1:
            return fail(context, "Not a workout file: " + context.args[0]);
        case -2:
            return fail(context, "Cannot read the workout file " + context.args[0]);
        default:
            return fail(context, "Cannot write the workout file " + context.args[0]);
    }
}

}  // namespace kestrun::cli
