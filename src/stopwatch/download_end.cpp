#include "stopwatch/download_end.h"

#include <cstdio>

#include "settings/language.h"
#include "stopwatch/download.h"
#include "stopwatch/link_messages.h"
#include "ui/string_ids.h"
#include "workout/track_log_file.h"

namespace kestrun {

std::string watch_version_line(const std::array<uint8_t, 4>& id) {
    char line[64];
    std::snprintf(line, sizeof line, "Watch version : %02X %02X %02X %02X\r\n", id[0], id[1], id[2],
                  id[3]);
    return line;
}

std::string transfer_notice_text(int code) {
    switch (code) {
        case kNoticeNoStopwatch:
            return GetText(kStrNoStopwatchFound);
        case kNoticeNoSession:
            return GetText(kStrNoDataInWatch);
        case kNoticeClipTimeout:
            return GetText(kStrCheckClipCable);
        default:
            return {};
    }
}

std::string stopwatch_not_found_line() {
    char line[80];
    std::snprintf(line, sizeof line, "Watch Lapmark VID=0x%04X , PID=0x%04X not found",
                  kClipVendorId, kClipProductId);
    return line;
}

DownloadEnd end_stopwatch_download(const std::function<void(const std::string&)>& append_log_line) {
    DownloadEnd end;
    end.write_result = write_stopwatch_sessions(end.saved_paths);
    end.log_line = watch_version_line(stopwatch_identification());
    // The log file ends its lines itself.
    if (append_log_line)
        append_log_line(end.log_line.substr(0, end.log_line.size() - 2));
    // Success is claimed only when every session reached its file.
    end.all_saved = end.write_result == 0;
    end.message = GetText(end.all_saved ? kStrDataTransferCompleted : kStrSessionFilesNotSaved);
    return end;
}

}  // namespace kestrun
