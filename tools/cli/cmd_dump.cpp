#include <cstdio>
#include <string>

#include "cli.h"
#include "seriallink/dump_program.h"
#include "seriallink/dump_runner.h"
#include "settings/settings_keys.h"

namespace kestrun::cli {

// The memory-dump conversation with the GPS watch, as the data view's "ram" button runs it.
int cmd_dump(CliContext& context) {
    SerialLinkSettings settings = load_serial_link_settings();
    const int last_com_before = settings.last_com;
    const auto print = [&context](const std::string& text) {
        std::fputs(text.c_str(), context.out);
        std::fflush(context.out);
    };
    const DumpRunResult result =
        run_memory_dump(context.args[0], settings, print, program_dump_options());
    // The window keeps the port that answered for the next start; so does the command line.
    if (settings.last_com != last_com_before)
        write_last_com(settings.last_com);
    if (result.status == 2)
        return fail(context, "cannot write the dump file " + context.args[0]);
    if (result.status != 0)
        return fail(context, result.message);
    return 0;
}

}  // namespace kestrun::cli
