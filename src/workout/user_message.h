#pragma once

#include <string>

namespace kestrun {

// A message box the window must show for a library operation: the string id of its main text and
// the complete text in the current language. Captioned "Message".
struct UserMessage {
    int string_id = 0;  // 0: nothing to show
    std::string text;
    bool exclamation_icon = true;

    bool empty() const { return string_id == 0; }
};

}  // namespace kestrun
