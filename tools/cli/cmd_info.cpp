#include "cli.h"

namespace kestrun::cli {

int cmd_info(CliContext& context) { return fail(context, "not yet"); }

}  // namespace kestrun::cli
