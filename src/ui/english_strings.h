#pragma once

#include <span>
#include <string_view>

// The program's English string table, keyed by string id. Every text the program shows or writes
// is looked up here (or in the translation that replaces it) by its id.
namespace kestrun {

struct StringEntry {
    int id;
    std::string_view text;
};

// Sorted by id.
std::span<const StringEntry> english_string_table();
// The English text of `id`, or an empty view when the table has none.
std::string_view english_text(int id);

}  // namespace kestrun
