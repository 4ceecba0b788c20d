#pragma once

#include "platform/launcher.h"

namespace kestrun {

// Programs started detached as their own processes; pages opened in the desktop's browser.
class QtLauncher : public Launcher {
public:
    bool start_program(const std::string& program,
                       const std::vector<std::string>& arguments) override;
    bool open_url(const std::string& url) override;
};

}  // namespace kestrun
