#include "workout/record_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace kestrun {

RecordReader::~RecordReader() {
    if (fd_ >= 0)
        ::close(fd_);
    delete[] buffer_;
}

bool RecordReader::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    file_size_ = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    buffer_ = new uint8_t[kBufferSize];
    return true;
}

bool RecordReader::fill() {
    if (begin_ > 0) {
        std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    while (end_ < kBufferSize) {
        ssize_t n = ::read(fd_, buffer_ + end_, kBufferSize - end_);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        end_ += static_cast<std::size_t>(n);
        return true;
    }
    return true;
}

bool RecordReader::read(void* out, std::size_t size) {
    auto* dst = static_cast<uint8_t*>(out);
    while (size > 0) {
        if (begin_ == end_ && !fill())
            return false;
        std::size_t take = std::min(size, end_ - begin_);
        std::memcpy(dst, buffer_ + begin_, take);
        begin_ += take;
        consumed_ += take;
        dst += take;
        size -= take;
    }
    return true;
}

bool RecordReader::skip(std::size_t size) {
    while (size > 0) {
        if (begin_ == end_ && !fill())
            return false;
        std::size_t take = std::min(size, end_ - begin_);
        begin_ += take;
        consumed_ += take;
        size -= take;
    }
    return true;
}

uint64_t RecordReader::remaining() const {
    return file_size_ > consumed_ ? file_size_ - consumed_ : 0;
}

bool is_directory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string file_extension(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace kestrun
