#pragma once

#include <string>

#include "workout/workout.h"

// The session summary and lap file (".ss"): all three versions are read, Lap File v2.0U written.
namespace kestrun {

// 0 loaded; 1 the file ended inside its laps (complete laps kept); -1 no workout or empty path;
// -2 cannot open, an unknown header, or the file ends before its summary.
int read_session_file(const std::string& path, Workout* workout, std::string* name);
// 0 written; -1 no workout folder; -2 year folder; -4 month folder; -5 the file could not be
// written (the old one stays).
int write_lap_file(const Workout& workout, const std::string& name,
                   std::string* file_name = nullptr);

}  // namespace kestrun
