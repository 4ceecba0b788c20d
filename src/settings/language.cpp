#include "settings/language.h"

#include "ui/english_strings.h"

namespace kestrun {

std::string GetText(int id) { return std::string(english_text(id)); }

}  // namespace kestrun
