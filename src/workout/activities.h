#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/trash.h"
#include "workout/user_message.h"

// The library operations behind the activity box and the workout context menu. Each one changes
// the folders and the process-wide library state and hands back the message the window shows.
namespace kestrun {

enum class LibraryOutcome {
    kDone,     // the change was made
    kNothing,  // nothing to do (an empty name, a name that is not a workout start)
    kRefused,  // refused with the message
    kFailed,   // the file system refused; the message tells when there is one
};

struct LibraryResult {
    LibraryOutcome outcome = LibraryOutcome::kNothing;
    UserMessage message;
};

// False when the text holds any of \ / : * ? " < > |
bool is_valid_activity_name(std::string_view text);

// The "Add Activity" dialog's OK. kDone: the folder exists now and the name was appended to the
// activity names; kFailed: the folder could not be made (the dialog closes, nothing is added);
// kRefused: the dialog stays open with the message; kNothing: an empty name.
LibraryResult add_activity(const std::string& name);
// kDone: renamed, made current and replaced in the activity names; kNothing: an empty new name
// (the dialog closes like Cancel).
LibraryResult rename_activity(const std::string& old_name, const std::string& new_name);
// The Yes/No question asked before deleting an activity.
std::string delete_activity_question(const std::string& name);
// Trashes the activity's folder, drops it from the activity names and selects the default
// activity (rescanning the library).
void delete_activity(const std::string& name, Trash& trash);

// The activity box: "Default" first, then the activity names.
std::vector<std::string> activity_box_entries();
// Index of the current activity in the activity box (0, "Default", when it is not listed).
std::size_t current_activity_entry();
// Makes the chosen box entry current ("Default", in any case, is the default activity) and
// rescans the library.
void select_activity(const std::string& entry);

// The "Move" dialog's choices: "Default" when an activity is current, then every other activity.
std::vector<std::string> move_destinations();
// Moves a workout file named after its start (14 characters before the extension) into the
// year and month folders of `destination_activity` (the default activity when empty or
// "Default"). kDone with "The process is completed !" after a rescan, kFailed with "Error in
// moving file !", kNothing when the name is not a start time or a folder cannot be made.
LibraryResult move_workout(const std::string& path, const std::string& destination_activity);

// Moves a file or folder to the trash. Paths shorter than 4 characters are refused.
bool delete_to_recycle_bin(const std::string& path, Trash& trash);
// The question asked before deleting a workout file or folder.
std::string delete_workout_question();
// Trashes a workout file or a year or month folder. A folder is followed by a full rescan; a file
// is removed from the index (the first node of its name under any year or month).
void delete_workout_entry(const std::string& path, bool is_folder, Trash& trash);

}  // namespace kestrun
