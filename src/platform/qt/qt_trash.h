#pragma once

#include "platform/trash.h"

namespace kestrun {

// The freedesktop.org trash, through Qt.
class QtTrash : public Trash {
public:
    bool move_to_trash(const std::string& path) override;
};

}  // namespace kestrun
