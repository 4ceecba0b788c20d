#pragma once

#include <string>
#include <vector>

// What the Recycle Bin becomes: the desktop's trash, from which the user can restore an item.
namespace kestrun {

class Trash {
public:
    virtual ~Trash() = default;
    // Moves a file or folder with everything in it to the trash. False when it is still there.
    virtual bool move_to_trash(const std::string& path) = 0;
};

// For tests: records every path and removes the item for real, so a rescan sees it gone;
// `refuse` makes every call fail and leaves the item in place.
class FakeTrash : public Trash {
public:
    bool move_to_trash(const std::string& path) override;

    std::vector<std::string> trashed;
    bool refuse = false;
};

}  // namespace kestrun
