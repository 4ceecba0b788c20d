#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Running the program's executables from tests, across a real process boundary.
namespace kestrun::testing {

struct Outcome {
    int status = -1;  // exit code, or -1 when the program did not exit normally
    std::string out, err;
};

// Starts a program with extra environment entries before the inherited ones; standard output and
// error go to the two files. -1 when it could not be started.
pid_t spawn_program(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& out_path, const std::string& err_path);
// Runs a program to its end, its output collected through files in `scratch_folder`.
Outcome run_program(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& scratch_folder);
std::string text_of(const std::string& path);

}  // namespace kestrun::testing
