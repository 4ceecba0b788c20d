#pragma once

#include <mutex>
#include <string>

namespace kestrun {

// Where the workouts of the current user live: the data path, the user's name and the current
// activity. The settings start fills it; the workout writers and the library read it.
struct LibraryPaths {
    std::string data_path;
    std::string user_name = "user";
    std::string current_activity;  // empty: no activity is current

    // data path / user name
    std::string user_folder() const;
    // The user folder, or the current activity's folder "<user folder>/<activity>.act".
    std::string workout_folder() const;
};

// The process-wide library state. Reads and writes are whole-value copies under a lock, so a
// worker thread never sees half an update.
class LibraryState {
public:
    LibraryPaths paths() const;
    void set_paths(LibraryPaths paths);
    void set_data_path(std::string data_path);
    void set_user_name(std::string user_name);
    void set_current_activity(std::string activity);

    std::string user_folder() const { return paths().user_folder(); }
    std::string workout_folder() const { return paths().workout_folder(); }

private:
    mutable std::mutex mutex_;
    LibraryPaths paths_;
};

LibraryState& library_state();

}  // namespace kestrun
