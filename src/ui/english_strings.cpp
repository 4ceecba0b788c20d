#include "ui/english_strings.h"

#include <algorithm>

namespace kestrun {

namespace {

constexpr StringEntry kEnglish[] = {
    {154, "km"},
    {155, "mile"},
    {156, "m"},
    {157, "ft"},
    {158, "min"},
    {218, "Message"},
};

}  // namespace

std::span<const StringEntry> english_string_table() { return kEnglish; }

std::string_view english_text(int id) {
    auto table = english_string_table();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const StringEntry& e, int key) { return e.id < key; });
    if (it == table.end() || it->id != id) return {};
    return it->text;
}

}  // namespace kestrun
