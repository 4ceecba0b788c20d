#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Bounded, buffered reading of a workout file: every read either delivers all the bytes asked
// for or reports that the file ended, so no record is ever built from missing bytes.
namespace kestrun {

class RecordReader {
public:
    RecordReader() = default;
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    bool open(const std::string& path);
    // True when all `size` bytes were read into `out`.
    bool read(void* out, std::size_t size);
    // True when `size` bytes could be skipped.
    bool skip(std::size_t size);
    // Bytes left after the current position (0 when unknown).
    uint64_t remaining() const;

private:
    bool fill();

    int fd_ = -1;
    uint64_t file_size_ = 0;
    uint64_t consumed_ = 0;
    static constexpr std::size_t kBufferSize = 1 << 16;
    uint8_t* buffer_ = nullptr;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

bool is_directory(const std::string& path);
bool file_exists(const std::string& path);
// Lower-case extension after the last "." of the file name, or empty.
std::string file_extension(const std::string& path);

}  // namespace kestrun
