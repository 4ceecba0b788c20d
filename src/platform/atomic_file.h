#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kestrun {

// Writes a file safely: the bytes go to a temporary file in the target's folder, which is flushed
// to disk and renamed over the target only by commit(). Until then, and whenever a step fails, the
// old file stays as it was; a writer destroyed without commit() removes its temporary file.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file beside `path`; false when it cannot be created.
    bool open(const std::string& path);
    // Buffers and writes; a failure is remembered and makes commit() fail.
    bool write(const void* data, std::size_t size);
    bool write(std::span<const uint8_t> bytes) { return write(bytes.data(), bytes.size()); }
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Flushes, syncs and renames over the target. False (and the target untouched) on any failure.
    bool commit();
    // Drops the temporary file; the target stays as it was.
    void discard();

    bool failed() const { return failed_; }

private:
    bool flush_buffer();

    std::string target_;
    std::string temp_path_;
    int fd_ = -1;
    bool failed_ = false;
    std::size_t used_ = 0;
    static constexpr std::size_t kBufferSize = 1 << 16;
    uint8_t* buffer_ = nullptr;
};

// Whole-file convenience: 0 written, -1 the file could not be written (the old one stays).
int write_file_atomically(const std::string& path, std::span<const uint8_t> bytes);
int write_file_atomically(const std::string& path, std::string_view text);

// Reads a whole file of at most `max_bytes`. 0 read; -1 cannot open; -2 larger than max_bytes or
// a read error.
int read_whole_file(const std::string& path, std::string& out, std::size_t max_bytes);

}  // namespace kestrun
