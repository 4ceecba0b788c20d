#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli.h"

namespace kestrun::cli {
namespace {

void print_usage(std::FILE* to) {
    std::fputs("usage: kestrun-cli [--data-path DIR] [--activity NAME] COMMAND [ARGUMENTS]\n\ncommands:\n",
               to);
    for (const CommandEntry& entry : command_table()) {
        std::fprintf(to, "  %.*s %.*s\n", static_cast<int>(entry.name.size()), entry.name.data(),
                     static_cast<int>(entry.usage.size()), entry.usage.data());
    }
}

int run(int argc, char** argv) {
    CliContext context;
    int i = 1;
    for (; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            print_usage(stdout);
            return 0;
        }
        if (arg == "--data-path" || arg == "--activity") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kestrun-cli: %s needs a value\n", argv[i]);
                return 1;
            }
            if (arg == "--data-path") {
                context.options.data_path = argv[++i];
            } else {
                context.options.activity = argv[++i];
                context.options.has_activity = true;
            }
            continue;
        }
        if (arg.starts_with("--")) {
            std::fprintf(stderr, "kestrun-cli: unknown option %s\n", argv[i]);
            print_usage(stderr);
            return 1;
        }
        break;
    }
    if (i >= argc) {
        print_usage(stderr);
        return 1;
    }
    std::string_view name = argv[i++];
    for (const CommandEntry& entry : command_table()) {
        if (entry.name != name) continue;
        for (; i < argc; ++i) context.args.emplace_back(argv[i]);
        if (context.args.size() < entry.min_args || context.args.size() > entry.max_args) {
            std::fprintf(stderr, "usage: kestrun-cli %.*s %.*s\n", static_cast<int>(entry.name.size()),
                         entry.name.data(), static_cast<int>(entry.usage.size()), entry.usage.data());
            return 1;
        }
        if (prepare_program_state(context) != 0) return 1;
        return entry.run(context);
    }
    std::fprintf(stderr, "kestrun-cli: unknown command %.*s\n", static_cast<int>(name.size()),
                 name.data());
    print_usage(stderr);
    return 1;
}

}  // namespace
}  // namespace kestrun::cli

int main(int argc, char** argv) { return kestrun::cli::run(argc, argv); }
