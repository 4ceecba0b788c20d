#pragma once

#include <cstdint>
#include <string>

#include "workout/activities.h"

// File > Import: copies a workout file into the current workout folder, in the year and month
// folders of its start, under its start-time name. The content is copied as it is.
namespace kestrun {

struct ImportResult {
    LibraryOutcome outcome = LibraryOutcome::kNothing;
    UserMessage message;    // empty when the import ends silently
    std::string file_name;  // the bare name in the library, for selecting it afterwards
};

// `time_zone_offset` names track logs without a summary after their first point's local time.
// kDone after a rescan of the library with "Import file is done"; kRefused or kFailed with
// their message; kNothing when a track log cannot be read (silently, nothing copied).
ImportResult import_workout(const std::string& path, int32_t time_zone_offset);

}  // namespace kestrun
