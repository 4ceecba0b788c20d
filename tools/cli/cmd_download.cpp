#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "app/core/log_file.h"
#include "cli.h"
#include "platform/debug_print.h"
#include "platform/hid_transport.h"
#include "platform/timer_host.h"
#include "stopwatch/download_end.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/transfer_controller.h"

namespace kestrun::cli {
namespace {

// The window's message queue, played by the command's own loop.
class MessageLoop : public MessageSink {
public:
    void post(Message message) override {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(message));
        arrived_.notify_one();
    }
    std::optional<Message> take(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, timeout, [this] { return !queue_.empty(); }))
            return std::nullopt;
        Message message = std::move(queue_.front());
        queue_.pop_front();
        return message;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Message> queue_;
};

// The transfer window on a terminal: a progress bar on standard error, nothing otherwise.
class TerminalView : public TransferView {
public:
    explicit TerminalView(std::FILE* to) : to_(to), terminal_(::isatty(::fileno(to)) != 0) {}

    void set_caption(const std::string&) override {}
    void set_step_text(const std::string& text) override { step_ = text; }
    void set_cancel_text(const std::string&) override {}
    void set_log_text(const std::string&) override {}
    void set_progress_range(int low, int high) override {
        low_ = low;
        high_ = high;
        draw();
    }
    void set_progress_position(int position) override {
        position_ = position;
        draw();
    }
    void show_window(bool) override {
        shown_ = true;
        draw();
    }
    void hide_window() override {
        if (shown_ && terminal_)
            std::fputc('\n', to_);
        shown_ = false;
    }
    bool log_box_ticked() const override { return false; }
    bool shown() const { return shown_; }

private:
    void draw() {
        if (!shown_ || !terminal_)
            return;
        constexpr int kWidth = 40;
        const int span = high_ > low_ ? high_ - low_ : 1;
        int percent = (position_ - low_) * 100 / span;
        percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
        if (percent == last_percent_)
            return;
        last_percent_ = percent;
        const int filled = percent * kWidth / 100;
        std::fprintf(to_, "\r%s [%s%s] %3d%%", step_.c_str(), std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), percent);
        std::fflush(to_);
    }

    std::FILE* to_;
    bool terminal_;
    bool shown_ = false;
    std::string step_;
    int low_ = 0, high_ = 100, position_ = 0, last_percent_ = -1;
};

struct NoOwner : TransferOwner {
    void set_enabled(bool) override {}
    void post(Message) override {}
    unsigned long window_handle() const override { return 0; }
};

}  // namespace

// Downloads every session of the stopwatch and files them as the main window does.
int cmd_download(CliContext& context) {
    MessageLoop inbox;
    MessageLoop results;
    ManualTimerHost timers;
    TerminalView view(context.err);
    NoOwner owner;
    TransferController controller(view, results, inbox, timers, system_hid_transport());
    controller.SetOwner(&owner);
    controller.StartDownload();

    // Until the transfer window closes; a clip that stops answering ends each read within its
    // time-out, so the download always comes to an end.
    while (view.shown()) {
        if (auto message = inbox.take(std::chrono::seconds(1)))
            controller.handle(*message);
    }

    std::string clip_message;
    while (auto message = results.take(std::chrono::milliseconds(0))) {
        if (message->id == kMsgTransferNotice) {
            if (message->wparam == kNoticeNoStopwatch)
                DebugPrint("%s", stopwatch_not_found_line().c_str());
            if (message->wparam == kNoticeClipTimeout) {
                clip_message = transfer_notice_text(kNoticeClipTimeout);
                continue;
            }
            return fail(context, transfer_notice_text(static_cast<int>(message->wparam)));
        }
        if (message->id != kMsgDownloadEnded)
            continue;
        if (message->wparam != 1)
            return fail(context, clip_message.empty() ? transfer_notice_text(kNoticeClipTimeout)
                                                      : clip_message);
        const DownloadEnd end =
            end_stopwatch_download([](const std::string& line) { AppendLogLine(line); });
        for (const std::string& path : end.saved_paths)
            std::fprintf(context.out, "%s\n", path.c_str());
        if (!end.all_saved)
            return fail(context, end.message);
        std::fprintf(context.out, "%s\n", end.message.c_str());
        return 0;
    }
    return fail(context, transfer_notice_text(kNoticeClipTimeout));
}

}  // namespace kestrun::cli
