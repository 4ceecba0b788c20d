#pragma once

#include <string>

namespace kestrun {

constexpr int kCopyOk = 0;
constexpr int kCopyCannotRead = -1;
constexpr int kCopyTargetExists = -2;  // only when `replace` is false
constexpr int kCopyCannotWrite = -3;

// Copies a file safely: the bytes go to a temporary file beside the target, which replaces the
// target only when complete. Without `replace` an existing target is kept and the copy fails.
int copy_file_safely(const std::string& from, const std::string& to, bool replace);

}  // namespace kestrun
