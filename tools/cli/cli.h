#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun::cli {

struct CliOptions {
    std::string data_path;  // --data-path; empty when not given
    std::string activity;   // --activity; empty when not given
    bool has_activity = false;
};

struct CliContext {
    CliOptions options;
    std::vector<std::string> args;  // the command's arguments
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// A command returns the process's exit code: 0 success, 1 failure (with the message on err).
using CommandFunction = int (*)(CliContext&);

struct CommandEntry {
    std::string_view name;
    std::size_t min_args;
    std::size_t max_args;
    std::string_view usage;
    CommandFunction run;
};

// Every command, in the order of the usage text.
const std::vector<CommandEntry>& command_table();

// Loads the program's state as the window's start does (settings, data path, user, language,
// current activity) for one run, applying the options without saving them. 0 ready; otherwise
// the message has gone to err and the command fails.
int prepare_program_state(CliContext& context);

// Prints `text` and a line end on err; returns 1 so a command can `return fail(...)`.
int fail(CliContext& context, std::string_view text);

}  // namespace kestrun::cli
