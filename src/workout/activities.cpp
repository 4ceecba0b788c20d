#include "workout/activities.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/text_encoding.h"
#include "settings/language.h"
#include "settings/library_state.h"
#include "ui/string_ids.h"
#include "workout/file_copy.h"
#include "workout/library.h"
#include "workout/track_log_file.h"

namespace kestrun {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kForbiddenCharacters = "\\/:*?\"<>|";
// The list the refusal shows, ending in one double-quote character.
constexpr std::string_view kForbiddenList = "\\ , / , : , * , ? , < , > , | , \"";
constexpr std::size_t kStartNameLength = 14;  // YYYYMMDDhhmmss

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool is_default_entry(const std::string& text) {
    return lower(text) == lower(GetText(kStrDefault));
}

UserMessage message(int id, std::string text, bool icon = true) {
    return UserMessage{id, std::move(text), icon};
}

LibraryResult refused(UserMessage m) {
    return LibraryResult{LibraryOutcome::kRefused, std::move(m)};
}

UserMessage activity_exists() {
    return message(kStrActivityExist, GetText(kStrActivityExist));
}

bool path_exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool remove_first_file_node(std::vector<LibraryNode>& nodes, const std::string& name, int depth) {
    for (auto it = nodes.begin(); it != nodes.end(); ++it) {
        if (!it->is_folder && it->name == name) {
            nodes.erase(it);
            return true;
        }
        if (it->is_folder && depth < 2 && remove_first_file_node(it->children, name, depth + 1)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool is_valid_activity_name(std::string_view text) {
    return text.find_first_of(kForbiddenCharacters) == std::string_view::npos;
}

LibraryResult add_activity(const std::string& name) {
    if (name.empty())
        return {};
    if (is_default_entry(name))
        return refused(activity_exists());
    if (!is_valid_activity_name(name)) {
        return refused(message(kStrDoNotEnterCharacters,
                               GetText(kStrDoNotEnterCharacters) + std::string(kForbiddenList)));
    }
    const std::string folder = activity_folder(name);
    if (path_exists(folder))
        return refused(activity_exists());
    std::error_code ec;
    if (!fs::create_directory(folder, ec))
        return LibraryResult{LibraryOutcome::kFailed, {}};
    library_index().activity_names.push_back(name);
    return LibraryResult{LibraryOutcome::kDone, {}};
}

LibraryResult rename_activity(const std::string& old_name, const std::string& new_name) {
    if (new_name.empty())
        return {};
    if (!is_valid_activity_name(new_name)) {
        // Renaming puts one more line break before the list than adding does.
        return refused(message(kStrDoNotEnterCharacters, GetText(kStrDoNotEnterCharacters) +
                                                             "\r\n" + std::string(kForbiddenList)));
    }
    const std::string folder = activity_folder(new_name);
    if (path_exists(folder))
        return refused(activity_exists());
    std::error_code ec;
    fs::rename(activity_folder(old_name), folder, ec);
    if (ec)
        return LibraryResult{LibraryOutcome::kFailed, {}};
    auto& names = library_index().activity_names;
    auto it = std::find(names.begin(), names.end(), old_name);
    if (it != names.end()) {
        *it = new_name;
    } else {
        names.push_back(new_name);
    }
    library_state().set_current_activity(new_name);
    return LibraryResult{LibraryOutcome::kDone, {}};
}

std::string delete_activity_question(const std::string& name) {
    return "\"" + name + "\" " + lower(GetText(kStrActivity)) + "\r\n" +
           GetText(kStrDeleteAllDataQuestion) + " ?";
}

void delete_activity(const std::string& name, Trash& trash) {
    // A failed delete is not reported: the next scan shows what is really there.
    delete_to_recycle_bin(activity_folder(name), trash);
    auto& names = library_index().activity_names;
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
    select_activity(GetText(kStrDefault));
}

std::vector<std::string> activity_box_entries() {
    std::vector<std::string> entries{GetText(kStrDefault)};
    const auto& names = library_index().activity_names;
    entries.insert(entries.end(), names.begin(), names.end());
    return entries;
}

std::size_t current_activity_entry() {
    const std::string current = library_state().paths().current_activity;
    if (current.empty())
        return 0;
    const auto& names = library_index().activity_names;
    auto it = std::find(names.begin(), names.end(), current);
    return it == names.end() ? 0 : static_cast<std::size_t>(it - names.begin()) + 1;
}

void select_activity(const std::string& entry) {
    library_state().set_current_activity(is_default_entry(entry) ? std::string() : entry);
    scan_library();
}

std::vector<std::string> move_destinations() {
    const std::string current = library_state().paths().current_activity;
    std::vector<std::string> entries;
    if (!current.empty())
        entries.push_back(GetText(kStrDefault));
    for (const std::string& name : library_index().activity_names) {
        if (name != current)
            entries.push_back(name);
    }
    return entries;
}

LibraryResult move_workout(const std::string& path, const std::string& destination_activity) {
    const std::string file_name = fs::path(path).filename().string();
    const std::string stem = file_name.substr(0, file_name.rfind('.'));
    if (utf16_length(stem) != kStartNameLength)
        return {};

    std::string base = destination_activity.empty() || is_default_entry(destination_activity)
                           ? library_state().user_folder()
                           : activity_folder(destination_activity);
    const std::string year = stem.substr(0, 4);
    const std::string month = stem.substr(4, 2);
    if (!ensure_subfolder(base, year) || !ensure_subfolder(base + "/" + year, month))
        return {};

    const std::string target = base + "/" + year + "/" + month + "/" + file_name;
    if (copy_file_safely(path, target, false) != kCopyOk) {
        return LibraryResult{LibraryOutcome::kFailed,
                             message(kStrErrorMovingFile, GetText(kStrErrorMovingFile), false)};
    }
    std::error_code ec;
    fs::remove(path, ec);
    scan_library();
    return LibraryResult{LibraryOutcome::kDone,
                         message(kStrProcessCompleted, GetText(kStrProcessCompleted), false)};
}

bool delete_to_recycle_bin(const std::string& path, Trash& trash) {
    if (path.size() < 4)
        return false;
    return trash.move_to_trash(path);
}

std::string delete_workout_question() {
    return GetText(kStrSureToDelete);
}

void delete_workout_entry(const std::string& path, bool is_folder, Trash& trash) {
    delete_to_recycle_bin(path, trash);
    if (is_folder) {
        scan_library();
        return;
    }
    remove_first_file_node(library_index().years, fs::path(path).filename().string(), 0);
}

}  // namespace kestrun
