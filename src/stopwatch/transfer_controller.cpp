#include "stopwatch/transfer_controller.h"

#include <cstdio>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"
#include "settings/language.h"
#include "settings/library_state.h"
#include "stopwatch/diagnostics.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/packet_log.h"
#include "ui/string_ids.h"

namespace kestrun {

namespace {

constexpr const char* kLogFileName = "OSDlg_dbg.txt";

bool is_download_message(int id) {
    return id == kMsgTransferNotice || id == kMsgProgressRange || id == kMsgProgressStep ||
           id == kMsgProgressPosition || id == kMsgDownloadEnded || id == kMsgLogLine;
}

}  // namespace

TransferController::TransferController(TransferView& view, MessageSink& result_window,
                                       MessageSink& inbox, TimerHost& timers,
                                       HidTransport& transport, TransferOptions options)
    : view_(view),
      result_window_(result_window),
      inbox_(inbox),
      timers_(timers),
      transport_(transport),
      options_(std::move(options)) {}

TransferController::~TransferController() {
    conversation_.reset();
    link_.reset();
}

void TransferController::SetOwner(TransferOwner* owner) {
    owner_ = owner;
}

void TransferController::set_conversation(std::unique_ptr<TransferConversation> conversation) {
    conversation_ = std::move(conversation);
}

void TransferController::set_progress_range(int low, int high) {
    progress_low_ = low;
    progress_high_ = high;
    progress_step_ = 1;
    view_.set_progress_range(low, high);
}

void TransferController::set_progress_position(int position) {
    progress_position_ = position;
    view_.set_progress_position(position);
}

void TransferController::step_progress() {
    // A bar that reached its end starts again from its beginning, as the window's bar does.
    int next = progress_position_ + progress_step_;
    if (next > progress_high_)
        next = progress_low_ + (next - progress_high_);
    set_progress_position(next);
}

void TransferController::AppendLog(const std::string& text) {
    log_text_ += text;
    log_text_ += "\r\n";
    view_.set_log_text(log_text_);
    if (options_.debug_print) {
        options_.debug_print(text);
    } else {
        stopwatch_diagnostic(text);
    }
}

void TransferController::ReplaceLog(const std::string& text) {
    log_text_ = text;
    view_.set_log_text(log_text_);
}

void TransferController::ShowAndDisableOwner() {
    const int level = options_.debug_level ? options_.debug_level() : 0;
    view_.show_window(level != 0);
    if (owner_)
        owner_->set_enabled(false);
}

std::unique_ptr<StopwatchLink> TransferController::make_link() {
    return std::make_unique<StopwatchLink>(inbox_, timers_, transport_, options_.link_timing);
}

void TransferController::replace_link() {
    // Destroying a connected link switches packet logging off; a new link keeps the user's choice.
    const bool logging = packet_log().logging();
    link_.reset();
    link_ = make_link();
    packet_log().set_logging(logging);
    packet_log().post(make_message(kMsgPacketSwitchesChanged));
}

void TransferController::StartDownload() {
    view_.set_caption(GetText(kStrDataTransfer));
    log_text_.clear();
    view_.set_log_text(log_text_);
    AppendLog(GetText(kStrStartDownload));
    set_progress_range(0, 256);
    set_progress_position(1);
    view_.set_step_text(GetText(kStrReadingData) + " ...");
    ShowAndDisableOwner();

    replace_link();
    if (!link_->Connect()) {
        result_window_.post(make_message(kMsgTransferNotice, kNoticeNoStopwatch, 0));
        Finish();
        return;
    }
    set_progress_range(0, 100);
    set_progress_position(0);
    link_->Handshake();
    std::this_thread::sleep_for(options_.pause_before_download);
    link_->StartDownload();
}

void TransferController::handle(const Message& message) {
    if (!is_download_message(message.id)) {
        if (conversation_)
            conversation_->handle(message);
        return;
    }
    // Whatever a destroyed link's thread posted before it stopped is left unanswered.
    if (!link_)
        return;
    switch (message.id) {
        case kMsgProgressRange:
            set_progress_range(static_cast<uint16_t>(message.wparam),
                               static_cast<uint16_t>(message.lparam));
            break;
        case kMsgProgressStep:
            step_progress();
            break;
        case kMsgProgressPosition:
            set_progress_position(static_cast<int>(message.wparam));
            break;
        case kMsgLogLine:
            if (const std::string* text = message.text())
                AppendLog(*text);
            break;
        case kMsgTransferNotice:
            result_window_.post(message);
            if (message.wparam == kNoticeNoSession)
                Finish();
            break;
        case kMsgDownloadEnded:
            result_window_.post(message);
            set_progress_position(progress_high_);
            Finish();
            break;
        default:
            break;
    }
}

void TransferController::Cancel() {
    link_.reset();
    if (owner_)
        owner_->post(make_message(kMsgTransferAborted));
    Finish();
}

void TransferController::Finish() {
    link_.reset();
    if (conversation_)
        conversation_->on_finish();
    char line[64];
    std::snprintf(line, sizeof line, "Parend hWnd = %08lx", owner_ ? owner_->window_handle() : 0ul);
    AppendLog(line);
    view_.hide_window();
    if (owner_)
        owner_->set_enabled(true);
    if (view_.log_box_ticked())
        write_log_file();
}

void TransferController::write_log_file() const {
    const std::string folder =
        options_.data_path ? options_.data_path() : library_state().paths().data_path;
    if (folder.empty())
        return;
    const std::u16string text = utf8_to_utf16(log_text_);
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    // A log that cannot be written is not reported.
    (void)write_file_atomically(folder + "/" + kLogFileName, bytes);
}

int TransferController::EnsureLink() {
    if (!link_)
        replace_link();
    else
        packet_log().post(make_message(kMsgPacketSwitchesChanged));
    if (!link_)
        return -1;
    if (link_->connected())
        return 0;
    return link_->Connect() ? 0 : -1;
}

void TransferController::DestroyLink() {
    link_.reset();
}

void TransferController::SetLink(std::unique_ptr<StopwatchLink> link) {
    link_.reset();
    link_ = std::move(link);
}

void TransferController::Release() {
    if (conversation_)
        conversation_->on_release();
}

}  // namespace kestrun
