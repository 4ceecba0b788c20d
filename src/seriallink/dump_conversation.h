#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/message.h"
#include "platform/timer_host.h"
#include "seriallink/port_list.h"
#include "seriallink/serial_link_settings.h"
#include "seriallink/watch_link.h"

// The memory-dump conversation with a GPS watch: find the port on which the watch answers the
// version command, ask for its status, and start the data-sector dump, which then waits for
// Cancel. It runs on the user-interface thread, driven by the replies that the link posts to the
// window's queue and by two timers.
namespace kestrun {

// What the conversation needs from the window it runs in.
class DumpHost {
public:
    virtual ~DumpHost() = default;
    virtual void append_log(const std::string& line) = 0;
    virtual void replace_log(const std::string& text) = 0;
    // Before each port opening: the caption ("Data transfer") and the Cancel button's text.
    virtual void set_window_texts(const std::string& caption, const std::string& cancel_text) = 0;
    // Progress back to 0, the window in front of its disabled owner.
    virtual void show_window() = 0;
    // The window's Finish. It must end the conversation with DumpConversation::end().
    virtual void finish() = 0;
};

struct DumpConversationOptions {
    PortSource ports;
    WatchLinkOptions link;
    // The pause between giving up one port and opening the next.
    std::chrono::milliseconds port_pause{250};
    // How long a reply is waited for before the command is given up.
    std::chrono::milliseconds reply_wait{500};
    // DebugPrintMasked: diagnostic lines with their mask.
    std::function<void(const std::string& text, uint32_t mask)> debug_print_masked;
    // Told the new LastCOM when a port answers, so it is kept and saved with the settings.
    std::function<void(int last_com)> last_com_changed;
};

class DumpConversation {
public:
    // `inbox` is the window's queue, which the link posts the watch's replies to and which hands
    // them back through handle(); `main_window` learns the port, the line rate, the version and
    // the outcome. `settings` is read at each start; its last_com is updated when a port answers.
    DumpConversation(DumpHost& host, TimerHost& timers, MessageSink& inbox,
                     MessageSink& main_window, SerialLinkSettings& settings,
                     DumpConversationOptions options = {});
    ~DumpConversation();
    DumpConversation(const DumpConversation&) = delete;
    DumpConversation& operator=(const DumpConversation&) = delete;

    // StartSerial with the memory-dump operation and the log cleared.
    void StartDump();
    void StartSerial(int operation, bool clear_log);

    // The watch's replies; true when the message is one of the conversation's.
    bool handle(const Message& message);

    // The end of the conversation (the window's Finish, also after Cancel): the link goes (its
    // thread stops, its port closes), the timers stop, the state is idle again.
    void end();
    // The exit sequence: only the link goes.
    void release_link();

    int operation() const { return operation_; }
    bool busy() const { return busy_; }
    bool dump_started() const { return dump_started_; }
    const PortList& ports() const { return ports_; }
    unsigned version_tries() const { return version_tries_; }
    const WatchLink* link() const { return link_.get(); }

private:
    int open_port();
    void send_version_command();
    void on_version_timeout();
    void on_status_timeout();
    void on_version_reply(const std::string& version);
    void on_status_reply();
    void start_dump();
    void report(int result);
    void debug_masked(const std::string& text, uint32_t mask);
    void start_timer(int timer_id);

    DumpHost& host_;
    TimerHost& timers_;
    MessageSink& inbox_;
    MessageSink& main_window_;
    SerialLinkSettings& settings_;
    DumpConversationOptions options_;

    std::unique_ptr<WatchLink> link_;
    PortList ports_;
    int operation_ = 0;
    bool busy_ = false;
    bool dump_started_ = false;
    uint8_t version_tries_ = 0;
    bool continue_after_status_ = false;
    unsigned line_rate_ = 0;
    int64_t link_tag_ = 0;  // of the current link; each new link gets the next

    std::mutex version_pending_mutex_;
    bool version_pending_ = false;
};

}  // namespace kestrun
