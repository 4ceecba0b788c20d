#pragma once

#include <cstdint>
#include <string>

#include "workout/workout.h"

// The writers of the current formats, each to a given path; the public writers choose the path
// from the library, the name change keeps the file's own. 0 written; kWriteFailed otherwise, with
// the old file left as it was.
namespace kestrun {

// Header bytes 32..47 (time-shift marker and times) to carry over into a rewritten file, or none.
struct HeaderShiftBytes {
    bool present = false;
    uint8_t bytes[16] = {};
};

int write_track_log_v23_to(const std::string& path, const Workout& workout, const TrackLog& track,
                           const std::string& name, double firmware_version,
                           const HeaderShiftBytes& shift = {});
int write_track_only_v30_to(const std::string& path, const TrackLog& track, const std::string& name,
                            const HeaderShiftBytes& shift = {});
int write_lap_file_to(const std::string& path, const Workout& workout, const std::string& name);

// Creates the year and month folders of `file_name` (its first four and next two characters)
// below `workout_folder` and gives the full path. 0; -4 a folder could not be created.
int prepare_workout_path(const std::string& workout_folder, const std::string& file_name,
                         std::string& full_path, int year_failure = -4, int month_failure = -4);

}  // namespace kestrun
