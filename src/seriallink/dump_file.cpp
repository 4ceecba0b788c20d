#include "seriallink/dump_file.h"

#include <array>
#include <cstdint>

#include "platform/atomic_file.h"

namespace kestrun {

int create_dump_file(const std::string& path) {
    if (path.empty())
        return -1;
    std::array<uint8_t, kDumpBlockSize> block;
    block.fill(0xFF);
    AtomicFileWriter writer;
    if (!writer.open(path))
        return -2;
    for (int i = 0; i < kDumpFileBlocks; ++i) {
        if (!writer.write(block.data(), block.size()))
            return -2;
    }
    return writer.commit() ? 0 : -2;
}

}  // namespace kestrun
