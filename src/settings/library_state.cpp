#include "settings/library_state.h"

namespace kestrun {

std::string LibraryPaths::user_folder() const {
    if (data_path.empty()) return user_name;
    if (data_path.back() == '/') return data_path + user_name;
    return data_path + "/" + user_name;
}

std::string LibraryPaths::workout_folder() const {
    if (current_activity.empty()) return user_folder();
    return user_folder() + "/" + current_activity + ".act";
}

LibraryPaths LibraryState::paths() const {
    std::lock_guard lock(mutex_);
    return paths_;
}

void LibraryState::set_paths(LibraryPaths paths) {
    std::lock_guard lock(mutex_);
    paths_ = std::move(paths);
}

void LibraryState::set_data_path(std::string data_path) {
    std::lock_guard lock(mutex_);
    paths_.data_path = std::move(data_path);
}

void LibraryState::set_user_name(std::string user_name) {
    std::lock_guard lock(mutex_);
    paths_.user_name = std::move(user_name);
}

void LibraryState::set_current_activity(std::string activity) {
    std::lock_guard lock(mutex_);
    paths_.current_activity = std::move(activity);
}

LibraryState& library_state() {
    static LibraryState state;
    return state;
}

}  // namespace kestrun
