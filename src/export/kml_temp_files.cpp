#include "export/kml_temp_files.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace kestrun {
namespace {

std::mutex& list_mutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<std::string>& list() {
    static std::vector<std::string> paths;
    return paths;
}

}  // namespace

void add_kml_temp_file(const std::string& path) {
    std::lock_guard lock(list_mutex());
    // The same workout exported again reuses its file; one entry is enough to delete it.
    if (std::find(list().begin(), list().end(), path) == list().end())
        list().push_back(path);
}

std::vector<std::string> kml_temp_files() {
    std::lock_guard lock(list_mutex());
    return list();
}

void delete_kml_temp_files() {
    std::lock_guard lock(list_mutex());
    for (const std::string& path : list()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    list().clear();
}

}  // namespace kestrun
