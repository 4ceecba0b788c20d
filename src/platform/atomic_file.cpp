#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace kestrun {

namespace {

bool write_all(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string folder_of(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
    discard();
    delete[] buffer_;
}

bool AtomicFileWriter::open(const std::string& path) {
    discard();
    failed_ = false;
    used_ = 0;
    if (path.empty()) {
        failed_ = true;
        return false;
    }
    target_ = path;
    // A short hidden name in the target's folder: the rename stays within one file system and
    // works for targets whose names leave no room for a suffix.
    std::string pattern = folder_of(path) + "/.kestrun-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    // mkstemp creates 0600; a finished file gets the usual permissions of a new file.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    temp_path_ = pattern;
    if (!buffer_) buffer_ = new uint8_t[kBufferSize];
    return true;
}

bool AtomicFileWriter::flush_buffer() {
    if (used_ == 0) return !failed_;
    if (!failed_ && !write_all(fd_, buffer_, used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

bool AtomicFileWriter::write(const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) {
        failed_ = true;
        return false;
    }
    auto bytes = static_cast<const uint8_t*>(data);
    if (used_ + size > kBufferSize) {
        if (!flush_buffer()) return false;
        if (size >= kBufferSize) {
            if (!write_all(fd_, bytes, size)) failed_ = true;
            return !failed_;
        }
    }
    std::memcpy(buffer_ + used_, bytes, size);
    used_ += size;
    return true;
}

bool AtomicFileWriter::commit() {
    if (fd_ < 0) return false;
    bool ok = flush_buffer() && ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    if (ok && ::rename(temp_path_.c_str(), target_.c_str()) == 0) {
        temp_path_.clear();
        // The rename itself is durable only once the folder is synced.
        int dir = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return true;
    }
    failed_ = true;
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    return false;
}

void AtomicFileWriter::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_path_.empty()) {
        ::unlink(temp_path_.c_str());
        temp_path_.clear();
    }
    used_ = 0;
}

int write_file_atomically(const std::string& path, std::span<const uint8_t> bytes) {
    AtomicFileWriter writer;
    if (!writer.open(path)) return -1;
    writer.write(bytes);
    return writer.commit() ? 0 : -1;
}

int write_file_atomically(const std::string& path, std::string_view text) {
    return write_file_atomically(
        path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

int read_whole_file(const std::string& path, std::string& out, std::size_t max_bytes) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<std::size_t>(st.st_size) > max_bytes) {
            ::close(fd);
            return -2;
        }
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return -2;
        }
        if (n == 0) break;
        if (out.size() + static_cast<std::size_t>(n) > max_bytes) {
            ::close(fd);
            return -2;
        }
        out.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return 0;
}

}  // namespace kestrun
