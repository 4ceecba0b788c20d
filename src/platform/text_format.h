#pragma once

#include <cstdarg>
#include <string>

namespace kestrun {

// printf-style formatting into a text of any length (numbers in the C locale's form unless the
// process changed it).
std::string format_text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string format_text_v(const char* format, va_list args);

}  // namespace kestrun
