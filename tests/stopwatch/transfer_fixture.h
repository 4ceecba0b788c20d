#pragma once

#include <memory>
#include <string>
#include <vector>

#include "clip_fixture.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/transfer_controller.h"
#include "support/message_queue.h"

namespace kestrun::testing {

struct RecordingView : TransferView {
    std::string caption, step, cancel, log;
    int low = 0, high = 0, position = 0;
    bool shown = false, full_height = false, ticked = false;

    void set_caption(const std::string& text) override { caption = text; }
    void set_step_text(const std::string& text) override { step = text; }
    void set_cancel_text(const std::string& text) override { cancel = text; }
    void set_log_text(const std::string& text) override { log = text; }
    void set_progress_range(int l, int h) override {
        low = l;
        high = h;
    }
    void set_progress_position(int p) override { position = p; }
    void show_window(bool full) override {
        shown = true;
        full_height = full;
    }
    void hide_window() override { shown = false; }
    bool log_box_ticked() const override { return ticked; }
};

struct RecordingOwner : TransferOwner {
    bool enabled = true;
    std::vector<Message> posted;
    void set_enabled(bool on) override { enabled = on; }
    void post(Message message) override { posted.push_back(std::move(message)); }
    unsigned long window_handle() const override { return 0x1234; }
};

// The transfer window's parts around one controller, with the window's message loop played by
// pump().
struct TransferRig {
    RecordingView view;
    RecordingOwner owner;
    MessageQueue result;
    MessageQueue inbox;
    ManualTimerHost timers;
    std::unique_ptr<TransferController> controller;

    TransferRig(HidTransport& transport, TransferOptions options = {}) {
        options.link_timing = fast_timing();
        options.pause_before_download = std::chrono::milliseconds(0);
        if (!options.debug_print)
            options.debug_print = [](const std::string&) {};
        controller = std::make_unique<TransferController>(view, result, inbox, timers, transport,
                                                          std::move(options));
        controller->SetOwner(&owner);
    }

    // Hands the window's messages to the controller until it hides or none comes for a while.
    void pump(std::chrono::milliseconds quiet = std::chrono::seconds(5)) {
        while (view.shown) {
            auto message = inbox.take(quiet);
            if (!message)
                return;
            controller->handle(*message);
        }
    }

    std::vector<Message> results() { return result.drain(); }
};

}  // namespace kestrun::testing
