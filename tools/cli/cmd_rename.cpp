#include "cli.h"

namespace kestrun::cli {

int cmd_rename(CliContext& context) { return fail(context, "not yet"); }

}  // namespace kestrun::cli
