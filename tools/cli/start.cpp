#include <cstdlib>

#include "cli.h"
#include "settings/library_state.h"

namespace kestrun::cli {

// Until the settings store arrives the data path comes from the option or the default folder.
int prepare_program_state(CliContext& context) {
    LibraryPaths paths;
    if (!context.options.data_path.empty()) {
        paths.data_path = context.options.data_path;
    } else {
        const char* data_home = std::getenv("XDG_DATA_HOME");
        const char* home = std::getenv("HOME");
        if (data_home && *data_home) {
            paths.data_path = std::string(data_home) + "/Kestrun";
        } else {
            paths.data_path = std::string(home ? home : ".") + "/.local/share/Kestrun";
        }
    }
    if (context.options.has_activity) paths.current_activity = context.options.activity;
    library_state().set_paths(paths);
    return 0;
}

}  // namespace kestrun::cli
