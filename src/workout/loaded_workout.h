#pragma once

#include <string>

#include "workout/track_filters.h"
#include "workout/user_message.h"
#include "workout/workout.h"
#include "workout/workout_file.h"

// Opening a workout file as the workout browser does: a track log is read and its tracks
// prepared; a session summary file is read with its laps.
namespace kestrun {

struct LoadedWorkout {
    Workout workout;
    TrackLog raw;
    PreparedTracks tracks;
    HeaderTimeShift time_shift;
    std::string name;  // the "Remark"
    int file_type = -1;
};

constexpr int kLoadOk = 0;
constexpr int kLoadNotOpenable = -1;  // not a ".tkl" or ".ss" file
constexpr int kLoadFailed = -2;       // the reader refused the file

// On kLoadFailed `message` holds what the browser shows (only session summary files have one).
int load_workout_file(const std::string& path, const TrackFilterSettings& settings,
                      LoadedWorkout& loaded, UserMessage* message = nullptr);

}  // namespace kestrun
