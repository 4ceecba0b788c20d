#include "cli.h"

namespace kestrun::cli {

int cmd_info(CliContext& context);
int cmd_rename(CliContext& context);
int cmd_dump(CliContext& context);

const std::vector<CommandEntry>& command_table() {
    static const std::vector<CommandEntry> table = {
        {"info", 1, 1, "FILE", cmd_info},
        {"rename", 2, 2, "FILE NAME", cmd_rename},
        {"dump", 1, 1, "FILE", cmd_dump},
    };
    return table;
}

int fail(CliContext& context, std::string_view text) {
    std::fprintf(context.err, "%.*s\n", static_cast<int>(text.size()), text.data());
    return 1;
}

}  // namespace kestrun::cli
