#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the main window does when a stopwatch download ended with success: file every session of
// the table, note the stopwatch in the log file and tell the user how it went.
namespace kestrun {

struct DownloadEnd {
    int write_result = 0;                  // of write_stopwatch_sessions
    std::vector<std::string> saved_paths;  // every file written, in table order
    // "Data transfer is completed" when every session was filed, else the text that says some
    // could not be saved.
    std::string message;
    bool all_saved = true;
    // "Watch version : %02X %02X %02X %02X\r\n" with the identification bytes.
    std::string log_line;
};

// Writes the session table's files, then hands the log line, without its line end, to
// `append_log_line` (the log file's AppendLogLine; nothing is logged when it is empty). The caller
// refreshes the library, selects the last saved path and shows `message` (unless a burn-in test
// takes over).
DownloadEnd end_stopwatch_download(const std::function<void(const std::string&)>& append_log_line);

// The message the main window shows for a transfer notice (4053): "No stopwatch is found !",
// "No data in watch" or the clip text; empty for other codes.
std::string transfer_notice_text(int code);
// The diagnostic line that goes with "No stopwatch is found !".
std::string stopwatch_not_found_line();

// The log line for four identification bytes.
std::string watch_version_line(const std::array<uint8_t, 4>& identification);

}  // namespace kestrun
