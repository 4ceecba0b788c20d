#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "clip_device.h"

// The simulated clip on a Unix SOCK_SEQPACKET socket: one report per message, one host at a
// time, answers after the device delay. Runs on a thread of its own, in a test or in
// kestrun-clipsim.
namespace kestrun::clipsim {

struct ServerOptions {
    std::string socket_path;
    std::chrono::microseconds delay{0};          // before each answer
    std::chrono::milliseconds late_delay{6000};  // the "late" fault's wait
};

class ClipServer {
public:
    ClipServer(const MemoryImage& image, std::vector<Fault> faults, ServerOptions options);
    ~ClipServer();
    ClipServer(const ClipServer&) = delete;
    ClipServer& operator=(const ClipServer&) = delete;

    // Creates the socket's folder when needed, binds and starts answering. False with `error`
    // when the socket cannot be made or another clip listens on it.
    bool start(std::string& error);
    // Stops the thread, closes the socket and removes its file.
    void stop();

    int reports_received() const;
    // True once an "unplug" fault has taken the clip away.
    bool unplugged() const { return unplugged_.load(); }

private:
    void serve();
    void remove_socket();

    ClipDevice device_;
    ServerOptions options_;
    mutable std::mutex mutex_;
    int listen_fd_ = -1;
    int wake_fd_ = -1;
    std::thread thread_;
    std::atomic<bool> unplugged_{false};
    bool socket_removed_ = true;
};

}  // namespace kestrun::clipsim
