#include "platform/xdg_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace kestrun {

namespace {

std::string env_or_empty(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string without_trailing_slash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". Only "$HOME/..." and absolute
// paths are meaningful there.
std::string documents_from_user_dirs(const std::string& home) {
    std::ifstream in(config_home_folder() + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        if (value.empty() || value.front() != '/')
            return {};
        return without_trailing_slash(value);
    }
    return {};
}

}  // namespace

std::string home_folder() {
    std::string home = env_or_empty("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
    }
    if (home.empty())
        home = "/tmp";
    return without_trailing_slash(home);
}

std::string config_home_folder() {
    std::string dir = env_or_empty("XDG_CONFIG_HOME");
    if (!dir.empty() && dir.front() == '/')
        return without_trailing_slash(dir);
    return home_folder() + "/.config";
}

std::string common_app_data_folder() {
    std::string dir = env_or_empty("XDG_DATA_HOME");
    if (!dir.empty() && dir.front() == '/')
        return without_trailing_slash(dir);
    return home_folder() + "/.local/share";
}

std::string documents_folder() {
    std::string home = home_folder();
    std::string documents = documents_from_user_dirs(home);
    return documents.empty() ? home : documents;
}

}  // namespace kestrun
