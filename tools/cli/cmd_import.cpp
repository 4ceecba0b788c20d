#include <string>

#include "cli.h"
#include "settings/current_settings.h"
#include "workout/import.h"
#include "workout/library.h"

namespace kestrun::cli {
namespace {

// Message boxes break lines with CR LF; a terminal wants LF.
std::string terminal_text(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

}  // namespace

int cmd_import(CliContext& context) {
    const std::string& path = context.args[0];
    scan_library();
    ImportResult result = import_workout(path, current_unit_system().time_zone_offset);
    if (result.outcome == LibraryOutcome::kDone) {
        std::fprintf(context.out, "%s\n", terminal_text(result.message.text).c_str());
        return 0;
    }
    if (!result.message.empty())
        return fail(context, terminal_text(result.message.text));
    return fail(context, "kestrun-cli: cannot import " + path);
}

}  // namespace kestrun::cli
