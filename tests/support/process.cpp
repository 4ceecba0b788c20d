#include "support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "support/temp_dir.h"

extern char** environ;

namespace kestrun::testing {

pid_t spawn_program(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& out_path, const std::string& err_path) {
    std::vector<std::string> environment(env);
    for (char** e = environ; *e; ++e)
        environment.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

Outcome run_program(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& scratch_folder) {
    Outcome outcome;
    const std::string out = scratch_folder + "/program.out";
    const std::string err = scratch_folder + "/program.err";
    pid_t pid = spawn_program(args, env, out, err);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    outcome.out = text_of(out);
    outcome.err = text_of(err);
    return outcome;
}

std::string text_of(const std::string& path) {
    const auto bytes = read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace kestrun::testing
