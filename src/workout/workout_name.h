#pragma once

#include <string>

namespace kestrun {

// Changes a workout file's name ("Remark") and nothing else: every record, the header's time
// shift and the file's path stay. v2.3U and Lap File v2.0U files get the name replaced; a file
// whose version has no UTF-16 name is written again in the current format (v2.3U with a summary,
// v3.0U without, Lap File v2.0U for ".ss") at the same path. The file is replaced safely.
// 0 done; -1 bad arguments or an unknown file; -2 cannot be read; -5 cannot be written.
int change_workout_name(const std::string& path, const std::string& name);

}  // namespace kestrun
