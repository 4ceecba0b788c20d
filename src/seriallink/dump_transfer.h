#pragma once

#include <string>

#include "seriallink/dump_conversation.h"
#include "seriallink/serial_link_settings.h"
#include "stopwatch/transfer_controller.h"

// The memory-dump conversation inside the transfer window: its log, its timers, Finish and
// Cancel are the window's.
namespace kestrun {

class DumpTransfer : public TransferConversation, private DumpHost {
public:
    DumpTransfer(TransferController& controller, SerialLinkSettings settings,
                 DumpConversationOptions options = {});

    void on_finish() override { conversation_.end(); }
    void on_release() override { conversation_.release_link(); }
    bool handle(const Message& message) override { return conversation_.handle(message); }

    DumpConversation& conversation() { return conversation_; }
    // Read at each start; its last_com follows the port that answered.
    SerialLinkSettings& settings() { return settings_; }

private:
    void append_log(const std::string& line) override;
    void replace_log(const std::string& text) override;
    void set_window_texts(const std::string& caption, const std::string& cancel_text) override;
    void show_window() override;
    void finish() override;

    TransferController& controller_;
    SerialLinkSettings settings_;
    DumpConversation conversation_;
};

// The main window's memory-dump command once the user has chosen `dump_path`: writes the dump
// file, then runs the conversation in the transfer window in front of the disabled owner, with
// `settings` as they are now (load_serial_link_settings() in the program). The conversation is
// plugged into the window at the first dump, with `options`; later dumps keep it and its
// options. 0 started; -1 bad arguments; -2 the dump file could not be written (nothing else
// happens).
int start_memory_dump(TransferController& controller, TransferOwner* owner,
                      const std::string& dump_path, const SerialLinkSettings& settings,
                      DumpConversationOptions options = {});

}  // namespace kestrun
