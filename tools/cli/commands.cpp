#include "cli.h"

namespace kestrun::cli {

int cmd_info(CliContext& context);
int cmd_rename(CliContext& context);
int cmd_dump(CliContext& context);
int cmd_laps(CliContext& context);
int cmd_csv(CliContext& context);
int cmd_kml(CliContext& context);
int cmd_library(CliContext& context);
int cmd_import(CliContext& context);
int cmd_download(CliContext& context);

const std::vector<CommandEntry>& command_table() {
    static const std::vector<CommandEntry> table = {
        {"info", 1, 1, "FILE", cmd_info},
        {"rename", 2, 2, "FILE NAME", cmd_rename},
        {"laps", 1, 1, "FILE", cmd_laps},
        {"csv", 2, 2, "FILE OUT", cmd_csv},
        {"kml", 2, 2, "FILE OUT", cmd_kml},
        {"library", 0, 0, "", cmd_library},
        {"import", 1, 1, "FILE", cmd_import},
        {"download", 0, 0, "", cmd_download},
        {"dump", 1, 1, "FILE", cmd_dump},
    };
    return table;
}

int fail(CliContext& context, std::string_view text) {
    std::fprintf(context.err, "%.*s\n", static_cast<int>(text.size()), text.data());
    return 1;
}

}  // namespace kestrun::cli
