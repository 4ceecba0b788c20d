#include "platform/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kestrun {

namespace {

std::string without_trailing_slash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::string program_folder() {
    const char* overridden = std::getenv("KESTRUN_PROGRAM_DIR");
    if (overridden && *overridden)
        return without_trailing_slash(overridden);
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return ".";
    std::string exe(buffer.data(), static_cast<std::size_t>(n));
    auto slash = exe.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return exe.substr(0, slash);
}

std::string program_file_path(std::string_view name) {
    std::string folder = program_folder();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    folder += name;
    return folder;
}

}  // namespace kestrun
