#include "app/core/log_file.h"

#include <filesystem>
#include <mutex>

#include "platform/atomic_file.h"
#include "platform/crc32.h"
#include "platform/system_info.h"
#include "platform/text_encoding.h"
#include "platform/xdg_folders.h"
#include "settings/settings_ini.h"

namespace kestrun {

namespace {

constexpr std::size_t kMaxLogBytes = 16u << 20;

struct LogState {
    std::mutex mutex;
    bool block_pending = false;  // a block was written and awaits its seal
};

LogState& log_state() {
    static LogState state;
    return state;
}

// The text-mode stream's rule: every line feed is stored as CR LF (so a CR LF already in the
// text becomes CR CR LF).
std::string text_mode(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string folder_of_log() {
    return documents_folder() + "/Kestrun";
}

void ensure_folder() {
    std::error_code error;
    std::filesystem::create_directories(folder_of_log(), error);
}

std::string start_block() {
    LocalDateTime now = local_date_time_now();
    std::string block;
    auto line = [&](const std::string& text) { block += text + "\n"; };
    line(format_text("[%d-%02d-%02d %02u:%02u:%02u]", now.year, now.month, now.day,
                     static_cast<unsigned>(now.hour), static_cast<unsigned>(now.minute),
                     static_cast<unsigned>(now.second)));
    line(format_text("Windows : %s (%s) %s", "OS Unknowm", os_release().c_str(),
                     os_is_64_bit() ? "64-bit" : "32-bit"));
    line(format_text("Application name : %s", "Kestrun"));
    line(format_text("Version : %s", "v" KESTRUN_VERSION_TEXT));
    line(format_text("Special build : %s", KESTRUN_SPECIAL_BUILD_TEXT));
    line(format_text("Software update method : %s", "Method2"));
    line(format_text("Admin group : %s", is_admin_group_member() ? "yes" : "no"));
    return block;
}

void seal_locked() {
    LogState& state = log_state();
    if (!state.block_pending)
        return;
    state.block_pending = false;
    std::string content;
    if (read_whole_file(log_file_path(), content, kMaxLogBytes) != 0)
        return;
    content += text_mode(log_seal_line(crc32(content)) + "\n");
    write_file_atomically(log_file_path(), std::string_view(content));
}

}  // namespace

std::string log_file_path() {
    return folder_of_log() + "/watch.log";
}

std::string log_seal_line(uint32_t crc) {
    return format_text("; -------- %08X-%08X --------", crc, crc ^ kLogSealMask);
}

void CreateLog() {
    std::lock_guard lock(log_state().mutex);
    ensure_folder();
    std::string content = utf8_to_cp1252(text_mode(start_block()));
    if (write_file_atomically(log_file_path(), std::string_view(content)) != 0)
        return;
    log_state().block_pending = true;
    seal_locked();
}

void AppendLogLine(std::string_view text) {
    std::lock_guard lock(log_state().mutex);
    ensure_folder();
    std::string content;
    int read = read_whole_file(log_file_path(), content, kMaxLogBytes);
    if (read == -2)
        return;  // present but unreadable or oversized: leave it alone
    content += utf8_to_cp1252(text_mode(std::string(text) + "\n"));
    if (write_file_atomically(log_file_path(), std::string_view(content)) != 0)
        return;
    log_state().block_pending = true;
    seal_locked();
}

void SealLog() {
    std::lock_guard lock(log_state().mutex);
    seal_locked();
}

}  // namespace kestrun
