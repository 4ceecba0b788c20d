#include "stopwatch/diagnostics.h"

#include <mutex>

#include "platform/debug_print.h"

namespace kestrun {

namespace {

std::mutex& printer_mutex() {
    static std::mutex mutex;
    return mutex;
}

DiagnosticPrinter& printer() {
    static DiagnosticPrinter instance;
    return instance;
}

}  // namespace

void set_stopwatch_diagnostics(DiagnosticPrinter new_printer) {
    std::lock_guard lock(printer_mutex());
    printer() = std::move(new_printer);
}

void stopwatch_diagnostic(const std::string& line) {
    std::lock_guard lock(printer_mutex());
    if (printer()) {
        printer()(line);
    } else {
        DebugPrint("%s", line.c_str());
    }
}

}  // namespace kestrun
