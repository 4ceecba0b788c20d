#pragma once

#include <string>
#include <vector>

// What the shell's "open" verb becomes: starting a program as its own process, and opening a
// web page in the desktop's browser.
namespace kestrun {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` detached, each argument passed as one argument. False when it could not
    // be started.
    virtual bool start_program(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
    virtual bool open_url(const std::string& url) = 0;
};

// For tests: records what would have been started or opened.
class FakeLauncher : public Launcher {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
    };

    bool start_program(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
        return succeed;
    }
    bool open_url(const std::string& url) override {
        opened_urls.push_back(url);
        return succeed;
    }

    std::vector<Start> started;
    std::vector<std::string> opened_urls;
    bool succeed = true;
};

}  // namespace kestrun
