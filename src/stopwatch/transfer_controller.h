#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/hid_transport.h"
#include "platform/message.h"
#include "platform/timer_host.h"
#include "stopwatch/stopwatch_link.h"

// The state of the transfer window ("Data Transfer"): the stopwatch download it runs, the link it
// owns, its progress bar and log, Finish and Cancel. A second kind of transfer (the memory-dump
// conversation with a GPS watch) runs in the same window through TransferConversation. Every
// member is called on the user-interface thread.
namespace kestrun {

// What the window shows. The Qt dialog implements it; tests record it.
class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void set_caption(const std::string& text) = 0;
    virtual void set_step_text(const std::string& text) = 0;
    virtual void set_cancel_text(const std::string& text) = 0;
    // The whole log text; the view shows it and scrolls to its last line.
    virtual void set_log_text(const std::string& text) = 0;
    virtual void set_progress_range(int low, int high) = 0;
    virtual void set_progress_position(int position) = 0;
    // Shows the window in front, centred over its parent: with the log and its check box when
    // `full_height`, else only the step line, the bar and Cancel. Does not activate it.
    virtual void show_window(bool full_height) = 0;
    virtual void hide_window() = 0;
    // The "Log (log.txt)" check box.
    virtual bool log_box_ticked() const = 0;
};

// The window a transfer disables while it runs and tells of a cancel (the main window).
class TransferOwner {
public:
    virtual ~TransferOwner() = default;
    virtual void set_enabled(bool enabled) = 0;
    // Receives kMsgTransferAborted when the user cancels.
    virtual void post(Message message) = 0;
    // Shown in the log's last line ("Parend hWnd = %08lx").
    virtual unsigned long window_handle() const = 0;
};

// A second kind of transfer that runs inside the window. The controller owns it; the
// conversation keeps a reference to the controller for the log, the view, the timers, the result
// window and Finish.
class TransferConversation {
public:
    virtual ~TransferConversation() = default;
    // Finish (also through Cancel): destroy the conversation's link (its thread stops, its port
    // closes), stop its timers, and set its operation and busy flag back to idle.
    virtual void on_finish() = 0;
    // The exit sequence: destroy the conversation's link if there is one.
    virtual void on_release() = 0;
    // A message posted to the window that the download does not handle; true when taken.
    virtual bool handle(const Message& message) = 0;
};

struct TransferOptions {
    LinkTiming link_timing;
    // The pause between the handshake and the start of the download thread.
    std::chrono::milliseconds pause_before_download{250};
    // DebugLevel: not 0 shows the log and its check box.
    std::function<int()> debug_level;
    // The folder that receives "OSDlg_dbg.txt"; by default the library's data path.
    std::function<std::string()> data_path;
    // Where AppendLog's diagnostic copy goes; the stopwatch diagnostics (DebugPrint) when empty.
    std::function<void(const std::string&)> debug_print;
};

class TransferController {
public:
    // `result_window` receives the relayed 4053 and 4058 (the main window); `inbox` is the
    // window's own queue: links created here post to it, and the window hands every message
    // back to handle().
    TransferController(TransferView& view, MessageSink& result_window, MessageSink& inbox,
                       TimerHost& timers, HidTransport& transport, TransferOptions options = {});
    // Destroys the conversation and the link, stopping every thread they run.
    ~TransferController();
    TransferController(const TransferController&) = delete;
    TransferController& operator=(const TransferController&) = delete;

    void SetOwner(TransferOwner* owner);
    // Shows the window and starts a stopwatch download on a new link.
    void StartDownload();
    // Ends a transfer: destroys the link and the conversation's link, logs the owner, hides the
    // window, enables the owner and writes "OSDlg_dbg.txt" when the log box is ticked.
    void Finish();
    // The Cancel button.
    void Cancel();
    void AppendLog(const std::string& text);
    // Replaces the whole log text (the memory dump starts its own log).
    void ReplaceLog(const std::string& text);
    // For the packet dialog: 0 when a connected link exists afterwards, -1 otherwise.
    int EnsureLink();
    void DestroyLink();
    // Makes `link` the window's link, destroying the old one (the packet dialog's own link).
    void SetLink(std::unique_ptr<StopwatchLink> link);
    // The exit sequence, before the window goes.
    void Release();

    // Every message posted to the window: the download's and, through the conversation, the
    // conversation's.
    void handle(const Message& message);

    // For the conversation: show in front of the disabled owner, as a download does.
    void ShowAndDisableOwner();
    void set_conversation(std::unique_ptr<TransferConversation> conversation);
    TransferConversation* conversation() const { return conversation_.get(); }

    TransferView& view() const { return view_; }
    MessageSink& result_window() const { return result_window_; }
    MessageSink& inbox() const { return inbox_; }
    TimerHost& timers() const { return timers_; }
    // What a link of the packet dialog's own is made with (SetLink).
    HidTransport& transport() const { return transport_; }
    const LinkTiming& link_timing() const { return options_.link_timing; }
    TransferOwner* owner() const { return owner_; }
    StopwatchLink* link() const { return link_.get(); }
    const std::string& log_text() const { return log_text_; }
    int progress_low() const { return progress_low_; }
    int progress_high() const { return progress_high_; }
    int progress_position() const { return progress_position_; }
    void set_progress_range(int low, int high);
    void set_progress_position(int position);

private:
    std::unique_ptr<StopwatchLink> make_link();
    void replace_link();
    void step_progress();
    void write_log_file() const;

    TransferView& view_;
    MessageSink& result_window_;
    MessageSink& inbox_;
    TimerHost& timers_;
    HidTransport& transport_;
    TransferOptions options_;
    TransferOwner* owner_ = nullptr;
    std::unique_ptr<StopwatchLink> link_;
    std::unique_ptr<TransferConversation> conversation_;
    std::string log_text_;
    int progress_low_ = 0;
    int progress_high_ = 100;
    int progress_position_ = 0;
    int progress_step_ = 1;
};

}  // namespace kestrun
