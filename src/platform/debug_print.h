#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The diagnostic output: one-line messages any part of the program may emit, from any thread.
// The registry switches under HKEY_CURRENT_USER\SOFTWARE\Velmora are read anew at every call:
// "DebugView" non-zero sends the line to the debugger output (standard error unless replaced),
// "DebugLevel" 2 sends it to the diagnostic window when one is plugged in, and "DebugViewExtra"
// is the bit mask that masked lines must share a bit with.
namespace kestrun {

// Lines are cut to fit the 498-unit buffer of the diagnostic facility (497 units and a terminator).
inline constexpr std::size_t kDebugLineUnits = 497;

// Formats a line printf-style and emits it.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Emits a ready line only when `mask` shares a bit with "DebugViewExtra".
void DebugPrintMasked(std::string_view text, uint32_t mask);

// The diagnostic window's side: it receives lines on the emitting thread and must hand them to
// its own thread one at a time.
class DiagnosticWindowSink {
public:
    virtual ~DiagnosticWindowSink() = default;
    virtual void append_line(std::string line) = 0;
};

// Plugs in (or, with nullptr, removes) the diagnostic window. A line being emitted while the
// window is removed still reaches the sink it started with, which stays alive until then.
void set_diagnostic_window(std::shared_ptr<DiagnosticWindowSink> sink);

// Replaces the debugger output (nullptr restores standard error). Tests capture lines here.
void set_debugger_output(std::function<void(std::string_view)> output);

}  // namespace kestrun
