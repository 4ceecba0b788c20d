#pragma once

#include <functional>
#include <string>

// Where the stopwatch code's diagnostic lines go: the program's DebugPrint facility, unless a
// printer is set (tests read the lines there).
namespace kestrun {

using DiagnosticPrinter = std::function<void(const std::string&)>;

// An empty printer restores DebugPrint.
void set_stopwatch_diagnostics(DiagnosticPrinter printer);
void stopwatch_diagnostic(const std::string& line);

}  // namespace kestrun
