#pragma once

#include <functional>
#include <string>

// Where the stopwatch code's diagnostic lines go (the program's DebugPrint facility). Nothing is
// printed until the program connects it.
namespace kestrun {

using DiagnosticPrinter = std::function<void(const std::string&)>;

void set_stopwatch_diagnostics(DiagnosticPrinter printer);
void stopwatch_diagnostic(const std::string& line);

}  // namespace kestrun
