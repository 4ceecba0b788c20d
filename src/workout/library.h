#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/library_state.h"

// The folders are the library: the activities are the "<name>.act" folders of the user folder,
// and the workout index is the year and month folders of the current workout folder with the
// workout files in them. Every refresh scans them again.
namespace kestrun {

// File types by extension (case-insensitive): lbk 0, trl 1, chr 2, ss 3, tkl 4.
constexpr int kFileTypeLbk = 0;
constexpr int kFileTypeTrl = 1;
constexpr int kFileTypeChr = 2;
constexpr int kFileTypeSs = 3;
constexpr int kFileTypeTkl = 4;

// One node of the workout index: a year or month folder, or a workout file.
struct LibraryNode {
    std::string name;  // folder name, or file name with its extension
    bool is_folder = false;
    int file_type = -1;                 // files only
    std::vector<LibraryNode> children;  // folders only
    void* tree_item = nullptr;          // the browser's item for this node
};

struct LibraryIndex {
    std::vector<std::string> activity_names;  // without ".act"
    std::vector<LibraryNode> years;           // newest first
};

// The process-wide activity names and workout index, used on the user-interface thread.
LibraryIndex& library_index();

// The workout type of a file name, or -1 when it is not a workout file.
int workout_file_type(std::string_view file_name);
// "<user folder>/<name>.act"
std::string activity_folder(const std::string& name);

// Scans `paths` without touching the process-wide state.
LibraryIndex scan_library_folders(const LibraryPaths& paths);
// Rebuilds the process-wide activity names and workout index from the library state; a current
// activity whose folder is gone becomes the default activity first.
void scan_library();

// The full path of a node of the index, found by identity; empty when it is not in the index.
std::string node_path(const LibraryIndex& index, const LibraryNode& node,
                      const std::string& workout_folder);
// The display text of a workout file: 20110207082550.tkl shows as 2011/02/07_08:25:50.
std::string workout_display_text(std::string_view file_name);

}  // namespace kestrun
