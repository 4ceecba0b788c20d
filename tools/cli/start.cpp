#include "cli.h"
#include "settings/app_settings.h"
#include "settings/settings_start.h"

namespace kestrun::cli {

// The window's start without the window: migration, settings, data path, user and language.
// The command-line options apply to this run only; nothing is saved.
int prepare_program_state(CliContext& context) {
    AppSettings settings;
    StartOverrides overrides;
    overrides.data_path = context.options.data_path;
    overrides.has_activity = context.options.has_activity;
    overrides.activity = context.options.activity;
    return run_settings_start(settings, overrides);
}

}  // namespace kestrun::cli
