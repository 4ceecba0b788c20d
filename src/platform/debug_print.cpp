#include "platform/debug_print.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/registry_store.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"

namespace kestrun {

namespace {

struct DebugOutputs {
    std::mutex mutex;
    std::shared_ptr<DiagnosticWindowSink> window;
    std::shared_ptr<const std::function<void(std::string_view)>> debugger;
};

DebugOutputs& outputs() {
    static DebugOutputs state;
    return state;
}

void write_to_debugger(std::string_view line) {
    std::shared_ptr<const std::function<void(std::string_view)>> debugger;
    {
        std::lock_guard lock(outputs().mutex);
        debugger = outputs().debugger;
    }
    if (debugger) {
        (*debugger)(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

// Steps shared by both calls: the debugger output, then the diagnostic window.
void emit(std::string_view text) {
    std::string line = utf8_prefix_units(text, kDebugLineUnits);
    if (read_velmora_number("DebugView", 0) != 0)
        write_to_debugger(line);
    int level = 0;
    if (read_velmora_number_present("DebugLevel", level) && level == 2) {
        std::shared_ptr<DiagnosticWindowSink> window;
        {
            std::lock_guard lock(outputs().mutex);
            window = outputs().window;
        }
        if (window)
            window->append_line(std::move(line));
    }
}

}  // namespace

void DebugPrint(const char* format, ...) {
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    std::string line = format_text_v(format, args);
    va_end(args);
    emit(line);
}

void DebugPrintMasked(std::string_view text, uint32_t mask) {
    uint32_t enabled = static_cast<uint32_t>(read_velmora_number("DebugViewExtra", 0));
    if ((mask & enabled) == 0)
        return;
    emit(text);
}

void set_diagnostic_window(std::shared_ptr<DiagnosticWindowSink> sink) {
    std::lock_guard lock(outputs().mutex);
    outputs().window = std::move(sink);
}

void set_debugger_output(std::function<void(std::string_view)> output) {
    std::lock_guard lock(outputs().mutex);
    if (output) {
        outputs().debugger =
            std::make_shared<const std::function<void(std::string_view)>>(std::move(output));
    } else {
        outputs().debugger.reset();
    }
}

}  // namespace kestrun
