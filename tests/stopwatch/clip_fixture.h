#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clip_server.h"
#include "platform/sim_clip_transport.h"
#include "stopwatch/stopwatch_link.h"
#include "support/temp_dir.h"

namespace kestrun::testing {

// The link's waits shortened so a test runs in milliseconds; the read time-out stays long
// enough for a loaded machine.
inline LinkTiming fast_timing(ReceiveRules rules = ReceiveRules::kPolling) {
    LinkTiming timing;
    timing.after_connect = std::chrono::milliseconds(0);
    timing.after_disconnect = std::chrono::milliseconds(0);
    timing.before_handshake = std::chrono::milliseconds(0);
    timing.handshake_answer = std::chrono::milliseconds(500);
    timing.after_handshake = std::chrono::milliseconds(0);
    timing.read_timeout = std::chrono::milliseconds(800);
    timing.rules = rules;
    return timing;
}

// A simulated clip serving a scenario on a socket in a fresh folder.
class SimulatedClip {
public:
    explicit SimulatedClip(const std::string& scenario_text,
                           std::vector<clipsim::Fault> faults = {},
                           std::chrono::milliseconds late_delay = std::chrono::milliseconds(1800),
                           std::chrono::microseconds delay = std::chrono::microseconds(0)) {
        std::string error;
        const clipsim::Scenario scenario = clipsim::parse_scenario(scenario_text, error);
        EXPECT_EQ(error, "");
        image_ = clipsim::build_image(scenario, error);
        EXPECT_EQ(error, "");
        start(std::move(faults), late_delay, delay);
    }
    SimulatedClip(const clipsim::MemoryImage& image, std::vector<clipsim::Fault> faults)
        : image_(image) {
        start(std::move(faults), std::chrono::milliseconds(1800), std::chrono::microseconds(0));
    }

    HidTransport& transport() { return *transport_; }
    const clipsim::MemoryImage& image() const { return image_; }
    clipsim::ClipServer& server() { return *server_; }
    const std::string& socket_path() const { return socket_path_; }

private:
    void start(std::vector<clipsim::Fault> faults, std::chrono::milliseconds late_delay,
               std::chrono::microseconds delay) {
        socket_path_ = folder_.file("clip.sock");
        clipsim::ServerOptions options;
        options.socket_path = socket_path_;
        options.late_delay = late_delay;
        options.delay = delay;
        server_ = std::make_unique<clipsim::ClipServer>(image_, std::move(faults), options);
        std::string error;
        EXPECT_TRUE(server_->start(error)) << error;
        transport_ = std::make_unique<SimClipTransport>(socket_path_);
    }

    TempDir folder_;
    std::string socket_path_;
    clipsim::MemoryImage image_{};
    std::unique_ptr<clipsim::ClipServer> server_;
    std::unique_ptr<SimClipTransport> transport_;
};

}  // namespace kestrun::testing
