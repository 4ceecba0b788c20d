#include "stopwatch/download_end.h"

#include <cstdio>

#include "settings/language.h"
#include "stopwatch/download.h"
#include "ui/string_ids.h"
#include "workout/track_log_file.h"

namespace kestrun {

std::string watch_version_line(const std::array<uint8_t, 4>& id) {
    char line[64];
    std::snprintf(line, sizeof line, "Watch version : %02X %02X %02X %02X\r\n", id[0], id[1], id[2],
                  id[3]);
    return line;
}

DownloadEnd end_stopwatch_download(const std::function<void(const std::string&)>& append_log_line) {
    DownloadEnd end;
    end.write_result = write_stopwatch_sessions(end.saved_paths);
    end.log_line = watch_version_line(stopwatch_identification());
    if (append_log_line)
        append_log_line(end.log_line);
    // Success is claimed only when every session reached its file.
    end.all_saved = end.write_result == 0;
    end.message = GetText(end.all_saved ? kStrDataTransferCompleted : kStrSessionFilesNotSaved);
    return end;
}

}  // namespace kestrun
