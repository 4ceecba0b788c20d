#pragma once

#include <string>

namespace kestrun {

// The text of string `id` in the current language: the loaded translation's line when it has
// one, else the English table's text, else an empty text.
std::string GetText(int id);

}  // namespace kestrun
