#pragma once

#include <string>

#include "workout/workout.h"

// File > Export: the lap table of the loaded workout, or a copy of the selected track log.
namespace kestrun {

constexpr int kLapCsvWritten = 0;
constexpr int kLapCsvBadArguments = -1;  // no workout or an empty path
constexpr int kLapCsvCannotWrite = -2;

// The lap table: tab-separated quoted fields in UTF-16LE with a byte-order mark and CR LF line
// ends: the date, the laps with lap and split times, then total, fastest and average lap time.
// A workout without laps gets "---" for the three totals.
int write_lap_csv(const Workout* workout, const std::string& path);

// The proposed name of the save dialog: the file name without folder and last extension.
std::string export_proposed_name(const std::string& selected_file);

struct LapExportResult {
    int status_text_id = 0;  // "File saved" or "Error in saving file !" for the status line
    int csv_result = 1;      // write_lap_csv's result when a lap table was asked for, else 1
};

// The Export command once the save dialog has answered: only a selected track log is exported;
// a chosen name ending in ".csv" (any case) gets the lap table of `workout`, one ending in ".tkl"
// a copy of the selected file (replacing the target); anything else does nothing.
LapExportResult export_workout_file(const std::string& selected_file,
                                    const std::string& chosen_path, const Workout* workout);

}  // namespace kestrun
