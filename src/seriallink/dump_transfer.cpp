#include "seriallink/dump_transfer.h"

#include <memory>

#include "seriallink/dump_file.h"

namespace kestrun {

DumpTransfer::DumpTransfer(TransferController& controller, SerialLinkSettings settings,
                           DumpConversationOptions options)
    : controller_(controller),
      settings_(settings),
      conversation_(*this, controller.timers(), controller.inbox(), controller.result_window(),
                    settings_, std::move(options)) {}

void DumpTransfer::append_log(const std::string& line) {
    controller_.AppendLog(line);
}

void DumpTransfer::replace_log(const std::string& text) {
    controller_.ReplaceLog(text);
}

void DumpTransfer::set_window_texts(const std::string& caption, const std::string& cancel_text) {
    controller_.view().set_caption(caption);
    controller_.view().set_cancel_text(cancel_text);
}

void DumpTransfer::show_window() {
    controller_.set_progress_position(0);
    controller_.ShowAndDisableOwner();
}

// The window's Finish ends the conversation through on_finish().
void DumpTransfer::finish() {
    controller_.Finish();
}

int start_memory_dump(TransferController& controller, TransferOwner* owner,
                      const std::string& dump_path, const SerialLinkSettings& settings,
                      DumpConversationOptions options) {
    if (dump_path.empty())
        return -1;
    if (create_dump_file(dump_path) != 0)
        return -2;
    if (owner)
        owner->set_enabled(false);
    controller.SetOwner(owner);
    auto* transfer = dynamic_cast<DumpTransfer*>(controller.conversation());
    if (transfer == nullptr) {
        auto created = std::make_unique<DumpTransfer>(controller, settings, std::move(options));
        transfer = created.get();
        controller.set_conversation(std::move(created));
    }
    transfer->settings() = settings;
    transfer->conversation().StartDump();
    return 0;
}

}  // namespace kestrun
