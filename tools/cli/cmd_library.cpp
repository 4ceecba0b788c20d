#include <string>

#include "cli.h"
#include "workout/library.h"

namespace kestrun::cli {
namespace {

void print_nodes(CliContext& context, const std::vector<LibraryNode>& nodes, int level) {
    const std::string indent(static_cast<std::size_t>(level) * 2, ' ');
    for (const LibraryNode& node : nodes) {
        if (node.is_folder) {
            std::fprintf(context.out, "%s%s\n", indent.c_str(), node.name.c_str());
            print_nodes(context, node.children, level + 1);
        } else {
            std::fprintf(context.out, "%s%s %s\n", indent.c_str(),
                         workout_display_text(node.name).c_str(), node.name.c_str());
        }
    }
}

}  // namespace

int cmd_library(CliContext& context) {
    scan_library();
    const LibraryIndex& index = library_index();
    std::string activities = "activities:";
    for (std::size_t i = 0; i < index.activity_names.size(); ++i) {
        activities += (i == 0 ? " " : ", ") + index.activity_names[i];
    }
    std::fprintf(context.out, "%s\n", activities.c_str());
    print_nodes(context, index.years, 0);
    return 0;
}

}  // namespace kestrun::cli
