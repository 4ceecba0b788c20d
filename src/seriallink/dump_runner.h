#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "seriallink/dump_conversation.h"
#include "seriallink/serial_link_settings.h"

// The memory-dump command without a window: the dump file, then the conversation on a loop of
// its own, ended as Cancel ends it once the dump has started.
namespace kestrun {

struct DumpRunResult {
    // 0 the dump started; 1 the conversation ended with an outcome or did not end in time;
    // 2 the dump file could not be written.
    int status = 1;
    // The main window's text for the outcome, when there was one.
    std::string message;
};

// `print` receives each log line as it is added and, when the whole log is replaced, the new
// text; line ends are "\n". The conversation never takes longer than `limit`.
DumpRunResult run_memory_dump(const std::string& dump_path, SerialLinkSettings& settings,
                              const std::function<void(const std::string&)>& print,
                              DumpConversationOptions options = {},
                              std::chrono::milliseconds limit = std::chrono::minutes(5));

}  // namespace kestrun
