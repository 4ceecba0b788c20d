#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/app_settings.h"

namespace kestrun {

// The program works with one user, always named "user".
inline constexpr std::string_view kUserName = "user";
inline constexpr std::size_t kUserNameLength = 40;

// Creates the user folder "<data path>/<name>" with its library folders "ActivityLib" and
// "PathLib". 0 when they exist afterwards; -1 empty name; -2 a folder could not be created.
int CreateUserFolder(const std::string& user_name);

// The rules of the Data Path dialog, without its window: the dialog and the command line drive
// it. At program start it decides whether the dialog must be shown at all.
class DataPathStart {
public:
    // `program_start`: the start of the program (the dialog then restores the last activity).
    DataPathStart(AppSettings& settings, bool program_start);

    // The dialog's initialisation: the current user becomes "user"; when the data path already
    // holds a folder "user", "Ok" is performed at once and false is returned (the dialog is never
    // shown). True: the dialog must be shown.
    bool begin();

    const std::string& data_path() const { return settings_.data_path; }

    // "..." with a chosen folder, and "Reset to default": the data path changes in the settings,
    // in the library state and in Watch.ini at once.
    void choose_data_path(std::string path);
    void reset_to_default();

    // "Ok": creates the user folder, makes "user" current, and at program start restores the
    // user's last activity when its folder exists.
    void confirm();
    bool confirmed() const { return confirmed_; }

private:
    AppSettings& settings_;
    bool program_start_;
    bool confirmed_ = false;
};

// After the Data Path dialog: loads the current user's profile and KML options and derives the
// unit fields.
void load_current_user(AppSettings& settings);

}  // namespace kestrun
