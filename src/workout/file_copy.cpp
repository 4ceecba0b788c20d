#include "workout/file_copy.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/atomic_file.h"

namespace kestrun {

int copy_file_safely(const std::string& from, const std::string& to, bool replace) {
    std::error_code ec;
    if (!replace && std::filesystem::exists(to, ec))
        return kCopyTargetExists;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> source(std::fopen(from.c_str(), "rb"),
                                                           &std::fclose);
    if (!source)
        return kCopyCannotRead;
    AtomicFileWriter writer;
    if (!writer.open(to))
        return kCopyCannotWrite;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, source.get())) > 0) {
        if (!writer.write(buffer, n))
            return kCopyCannotWrite;
    }
    if (std::ferror(source.get()))
        return kCopyCannotRead;
    // A target that appeared meanwhile is still not replaced.
    if (!replace && std::filesystem::exists(to, ec))
        return kCopyTargetExists;
    return writer.commit() ? kCopyOk : kCopyCannotWrite;
}

}  // namespace kestrun
