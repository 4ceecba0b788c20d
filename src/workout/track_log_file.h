#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workout/stopwatch_session.h"
#include "workout/workout.h"
#include "workout/workout_file.h"

// The track log file (".tkl"): reader for every version, the two writers of the current formats,
// the writer of downloaded stopwatch sessions, and the helpers around them. Every writer writes a
// temporary file beside the target and renames it over the target once it is complete, so a
// failed write leaves the previous file as it was.
namespace kestrun {

// read_track_log results.
constexpr int kReadOk = 0;
// The file ended before its point or lap counts were satisfied. Every complete record is kept;
// no record is built from missing bytes.
constexpr int kReadTruncated = 1;
constexpr int kReadBadArguments = -1;  // or the version detection failed
constexpr int kReadCannotOpen = -2;
// The file ended inside its header, name block, count block or summary: nothing usable.
constexpr int kReadTooShort = -3;

// Writer results.
constexpr int kWriteOk = 0;
constexpr int kWriteBadArguments = -1;
constexpr int kWriteNoFolder = -2;
constexpr int kWriteEmptyTrack = -3;
constexpr int kWriteNoSubfolder = -4;
constexpr int kWriteFailed = -5;  // the file itself could not be written; the old one stays

// Reads any version. Sets the process-wide firmware version (0 unless the file has one).
int read_track_log(const std::string& path, TrackLog* track, Workout* workout,
                   HeaderTimeShift* time_shift, std::string* name);
// The firmware version of the last file read.
double last_firmware_version();

// Track Log v2.3U into the year and month folders of the workout folder; `file_name` gets the
// bare name written.
int write_track_log(const Workout& workout, const TrackLog& track, const std::string& name,
                    double firmware_version, std::string& file_name);
// Track Log v3.0U (no summary, no laps), named after the first point's local time.
int write_track_only_log(const TrackLog& track, const std::string& name, int32_t time_zone_offset,
                         std::string* file_name = nullptr);
// One file per session. Only files actually written are listed in `saved_paths` (cleared
// first). -2 or -4 stop the loop; a file that cannot be written is skipped and makes the
// result kWriteFailed once the others are written.
int write_stopwatch_sessions(const std::vector<StopwatchSession>& sessions,
                             std::vector<std::string>& saved_paths);
int write_stopwatch_sessions(std::vector<std::string>& saved_paths);  // the process-wide table

// 0 marked; 99 not marked; -1 empty path; -2 not a "tkl" file; -3 cannot be opened.
int is_lap_marked_file(const std::string& path);
// Replaces the name of a v2.3U file, keeping every other byte. 0; -1 empty path or cannot open.
int rewrite_name(const std::string& path, const std::string& name);
// True when `base`/`name` exists or could be created (`base` must exist).
bool ensure_subfolder(const std::string& base, const std::string& name);

}  // namespace kestrun
