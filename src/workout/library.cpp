#include "workout/library.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

namespace kestrun {
namespace {

namespace fs = std::filesystem;

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view extension_of(std::string_view name) {
    auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

// Calls `visit(name, is_folder)` for every entry of a folder; a folder that cannot be read has
// no entries.
void for_each_entry(const fs::path& folder, const std::function<void(std::string&&, bool)>& visit) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return;
        std::error_code type_ec;
        bool is_folder = it->is_directory(type_ec);
        visit(it->path().filename().string(), is_folder);
    }
}

void sort_descending(std::vector<LibraryNode>& nodes) {
    std::sort(nodes.begin(), nodes.end(),
              [](const LibraryNode& a, const LibraryNode& b) { return a.name > b.name; });
}

LibraryNode file_node(std::string&& name, int type) {
    LibraryNode node;
    node.name = std::move(name);
    node.file_type = type;
    return node;
}

LibraryNode folder_node(std::string&& name) {
    LibraryNode node;
    node.name = std::move(name);
    node.is_folder = true;
    return node;
}

void scan_month(const fs::path& folder, LibraryNode& month) {
    // Folders below a month are not part of the library.
    for_each_entry(folder, [&](std::string&& name, bool is_folder) {
        if (is_folder)
            return;
        int type = workout_file_type(name);
        if (type >= 0)
            month.children.push_back(file_node(std::move(name), type));
    });
    sort_descending(month.children);
}

void scan_year(const fs::path& folder, LibraryNode& year) {
    for_each_entry(folder, [&](std::string&& name, bool is_folder) {
        if (is_folder) {
            year.children.push_back(folder_node(std::move(name)));
            return;
        }
        int type = workout_file_type(name);
        if (type >= 0)
            year.children.push_back(file_node(std::move(name), type));
    });
    for (LibraryNode& child : year.children) {
        if (child.is_folder)
            scan_month(folder / child.name, child);
    }
    sort_descending(year.children);
}

bool is_activity_folder_name(std::string_view name) {
    // A folder named just ".act" would be an activity without a name; it is left out.
    return equals_ignoring_case(extension_of(name), "act") && name.rfind('.') > 0;
}

bool find_path(const std::vector<LibraryNode>& nodes, const LibraryNode& target,
               const fs::path& base, std::string& out) {
    for (const LibraryNode& node : nodes) {
        fs::path here = base / node.name;
        if (&node == &target) {
            out = here.string();
            return true;
        }
        if (node.is_folder && find_path(node.children, target, here, out))
            return true;
    }
    return false;
}

}  // namespace

LibraryIndex& library_index() {
    static LibraryIndex index;
    return index;
}

int workout_file_type(std::string_view file_name) {
    if (file_name.find('.') == std::string_view::npos)
        return -1;
    std::string_view ext = extension_of(file_name);
    static constexpr std::string_view kExtensions[] = {"lbk", "trl", "chr", "ss", "tkl"};
    for (int type = 0; type < 5; ++type) {
        if (equals_ignoring_case(ext, kExtensions[type]))
            return type;
    }
    return -1;
}

std::string activity_folder(const std::string& name) {
    return library_state().user_folder() + "/" + name + ".act";
}

LibraryIndex scan_library_folders(const LibraryPaths& paths) {
    LibraryIndex index;
    for_each_entry(paths.user_folder(), [&](std::string&& name, bool is_folder) {
        if (!is_folder || !is_activity_folder_name(name))
            return;
        index.activity_names.push_back(name.substr(0, name.rfind('.')));
    });
    // The enumeration order of folders differs between file systems; the names are listed in
    // the order the user reads them, without regard to case.
    std::sort(index.activity_names.begin(), index.activity_names.end(),
              [](const std::string& a, const std::string& b) {
                  return std::lexicographical_compare(
                      a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower_ascii(x) < lower_ascii(y); });
              });

    const fs::path workout_folder = paths.workout_folder();
    for_each_entry(workout_folder, [&](std::string&& name, bool is_folder) {
        if (!is_folder)
            return;
        if (equals_ignoring_case(name, "PathLib") || equals_ignoring_case(name, "ActivityLib") ||
            equals_ignoring_case(extension_of(name), "act")) {
            return;
        }
        index.years.push_back(folder_node(std::move(name)));
    });
    for (LibraryNode& year : index.years)
        scan_year(workout_folder / year.name, year);
    sort_descending(index.years);
    return index;
}

void scan_library() {
    LibraryPaths paths = library_state().paths();
    if (!paths.current_activity.empty()) {
        std::error_code ec;
        if (!fs::is_directory(paths.workout_folder(), ec)) {
            paths.current_activity.clear();
            library_state().set_current_activity({});
        }
    }
    library_index() = scan_library_folders(paths);
}

std::string node_path(const LibraryIndex& index, const LibraryNode& node,
                      const std::string& workout_folder) {
    std::string out;
    find_path(index.years, node, workout_folder, out);
    return out;
}

std::string workout_display_text(std::string_view file_name) {
    std::string_view stem = file_name.substr(0, file_name.find('.'));
    auto part = [&](std::size_t from, std::size_t count) {
        return from < stem.size() ? std::string(stem.substr(from, count)) : std::string();
    };
    return part(0, 4) + "/" + part(4, 2) + "/" + part(6, 2) + "_" + part(8, 2) + ":" + part(10, 2) +
           ":" + part(12, 2);
}

}  // namespace kestrun
