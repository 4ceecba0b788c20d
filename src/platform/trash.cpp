#include "platform/trash.h"

#include <filesystem>
#include <system_error>

namespace kestrun {

bool FakeTrash::move_to_trash(const std::string& path) {
    trashed.push_back(path);
    if (refuse)
        return false;
    std::error_code ec;
    return std::filesystem::remove_all(path, ec) > 0 && !ec;
}

}  // namespace kestrun
