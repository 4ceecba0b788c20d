#include "seriallink/dump_conversation.h"

#include <thread>

#include "seriallink/dump_outcome.h"
#include "seriallink/watch_messages.h"
#include "settings/language.h"
#include "ui/string_ids.h"

namespace kestrun {
namespace {

// Diagnostic lines of the port opening go out under this mask.
constexpr uint32_t kSerialDebugMask = 2;
constexpr unsigned kVersionTriesPerPort = 3;

// A message with a number only. Built in place: the sanitizer build's optimiser takes the moved
// empty payload of make_message() for uninitialised.
Message number_message(int id, int64_t wparam) {
    Message message;
    message.id = id;
    message.wparam = wparam;
    return message;
}

}  // namespace

DumpConversation::DumpConversation(DumpHost& host, TimerHost& timers, MessageSink& inbox,
                                   MessageSink& main_window, SerialLinkSettings& settings,
                                   DumpConversationOptions options)
    : host_(host),
      timers_(timers),
      inbox_(inbox),
      main_window_(main_window),
      settings_(settings),
      options_(std::move(options)) {}

DumpConversation::~DumpConversation() {
    timers_.stop_timer(kTimerVersionReply);
    timers_.stop_timer(kTimerStatusReply);
    link_.reset();
}

void DumpConversation::StartDump() {
    StartSerial(kOperationMemoryDump, true);
}

void DumpConversation::StartSerial(int operation, bool clear_log) {
    busy_ = true;
    operation_ = operation;
    dump_started_ = false;
    continue_after_status_ = false;
    if (clear_log)
        host_.replace_log("");

    build_port_list(ports_, settings_.last_com, settings_.bypass_last_com, options_.ports);
    host_.append_log(ports_.log_line());
    host_.show_window();
    line_rate_ = kWatchLineRate;

    if (open_port() < 0) {
        report(kDumpResultNoPort);
        return;
    }
    version_tries_ = 0;
    send_version_command();
}

int DumpConversation::open_port() {
    host_.set_window_texts(GetText(kStrDataTransfer), GetText(kStrCancel));
    const int com = port_for_attempt(ports_, settings_.force_com);
    if (com <= 0) {
        debug_masked("GetCOMPort error = " + std::to_string(com), kSerialDebugMask);
        return com == 0 ? -1 : -2;
    }
    link_.reset();
    WatchLinkOptions link_options = options_.link;
    link_options.tag = ++link_tag_;
    link_ = std::make_unique<WatchLink>(inbox_, link_options);
    host_.append_log("COM=" + std::to_string(com) + ", Baud=" + std::to_string(line_rate_));
    host_.append_log("Read option [128B,4k,ignore] = 2");
    if (!link_->open(com, ports_.path_for(com))) {
        link_.reset();
        debug_masked("Open COM Error", kSerialDebugMask);
        return -3;
    }
    return 0;
}

void DumpConversation::send_version_command() {
    start_timer(kTimerVersionReply);
    {
        std::lock_guard lock(version_pending_mutex_);
        version_pending_ = true;
    }
    if (!link_) {
        report(kDumpResultNoAnswer);
        return;
    }
    // A frame that cannot be written is treated as an unanswered command by the timer.
    (void)link_->get_version();
}

bool DumpConversation::handle(const Message& message) {
    if (message.id != kMsgWatchVersionReply && message.id != kMsgWatchStatusReply)
        return false;
    // Replies still queued when the conversation ended, or from a port already given up, would
    // name the wrong port: they are dropped.
    if (!busy_ || !link_ || message.wparam != link_tag_)
        return true;
    if (message.id == kMsgWatchVersionReply) {
        on_version_reply(message.text() ? *message.text() : std::string());
    } else {
        on_status_reply();
    }
    return true;
}

void DumpConversation::on_version_timeout() {
    host_.append_log("GetVer Fail");
    ++version_tries_;
    if (version_tries_ < kVersionTriesPerPort) {
        send_version_command();
        return;
    }
    // This port stays silent: on to the next one. With ForceCOM and an empty list the forced
    // port has had its turn once the index passes the end.
    ++ports_.index;
    if (ports_.index >= static_cast<int>(ports_.entries.size())) {
        report(kDumpResultNoAnswer);
        return;
    }
    timers_.stop_timer(kTimerVersionReply);
    line_rate_ = kWatchLineRate;
    link_.reset();
    if (options_.port_pause.count() > 0)
        std::this_thread::sleep_for(options_.port_pause);
    if (open_port() < 0) {
        report(kDumpResultNoPort);
        return;
    }
    version_tries_ = 0;
    send_version_command();
}

void DumpConversation::on_version_reply(const std::string& version) {
    timers_.stop_timer(kTimerVersionReply);
    if (settings_.debug_level != 0)
        host_.append_log("Get version : " + version);
    main_window_.post(number_message(kMsgDumpLineRate, kWatchLineRate));
    main_window_.post(make_message(kMsgDumpWatchVersion, 0, 0, version));

    const bool inside = ports_.index >= 0 && ports_.index < static_cast<int>(ports_.entries.size());
    if (inside) {
        // The port that answered: the listed one, or the forced one when ForceCOM is set.
        const int com = link_->com_number();
        settings_.last_com = com;
        main_window_.post(number_message(kMsgDumpComPort, com));
    } else {
        settings_.last_com = -1;
    }
    if (options_.last_com_changed)
        options_.last_com_changed(settings_.last_com);

    bool was_pending = false;
    {
        std::lock_guard lock(version_pending_mutex_);
        was_pending = version_pending_;
        version_pending_ = false;
    }
    if (!was_pending)
        return;
    continue_after_status_ = true;
    start_timer(kTimerStatusReply);
    if (link_)
        (void)link_->query_status();
}

void DumpConversation::on_status_timeout() {
    timers_.stop_timer(kTimerStatusReply);
    // A watch that does not answer the status query is no failure.
    start_dump();
}

void DumpConversation::on_status_reply() {
    timers_.stop_timer(kTimerStatusReply);
    if (continue_after_status_)
        start_dump();
}

void DumpConversation::start_dump() {
    // Once started, a late status reply must not start it again.
    continue_after_status_ = false;
    operation_ = kOperationMemoryDump;
    dump_started_ = true;
    host_.replace_log("Data RAM Dump\r\n");
    host_.append_log("Read sector 0 ...");
    host_.show_window();
}

void DumpConversation::report(int result) {
    main_window_.post(make_dump_outcome_message(result));
    host_.finish();
}

void DumpConversation::end() {
    timers_.stop_timer(kTimerVersionReply);
    timers_.stop_timer(kTimerStatusReply);
    link_.reset();
    operation_ = 0;
    busy_ = false;
    continue_after_status_ = false;
    std::lock_guard lock(version_pending_mutex_);
    version_pending_ = false;
}

void DumpConversation::release_link() {
    link_.reset();
}

void DumpConversation::debug_masked(const std::string& text, uint32_t mask) {
    if (options_.debug_print_masked)
        options_.debug_print_masked(text, mask);
}

void DumpConversation::start_timer(int timer_id) {
    timers_.start_timer(timer_id, options_.reply_wait, [this](int id) {
        if (id == kTimerVersionReply) {
            on_version_timeout();
        } else {
            on_status_timeout();
        }
    });
}

}  // namespace kestrun
