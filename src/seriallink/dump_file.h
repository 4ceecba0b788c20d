#pragma once

#include <string>

namespace kestrun {

inline constexpr int kDumpFileBlocks = 256;
inline constexpr int kDumpBlockSize = 4096;

// Creates the memory-dump file anew (an existing one is replaced): 256 blocks of 4096 bytes 0xFF,
// written safely. 0 written; -1 bad arguments; -2 the file cannot be written (an old one stays).
int create_dump_file(const std::string& path);

}  // namespace kestrun
