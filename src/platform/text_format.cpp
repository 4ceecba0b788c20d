#include "platform/text_format.h"

#include <cstdio>
#include <vector>

namespace kestrun {

std::string format_text_v(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        text.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    return text;
}

std::string format_text(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_text_v(format, args);
    va_end(args);
    return text;
}

}  // namespace kestrun
