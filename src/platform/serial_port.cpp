#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace kestrun {
namespace {

using Clock = std::chrono::steady_clock;

bool apply_line_settings(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

void set_modem_lines(int fd) {
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    (void)ioctl(fd, TIOCMBIC, &rts);
    (void)ioctl(fd, TIOCMBIS, &dtr);
}

// poll() restarted on EINTR until the absolute deadline; a negative wait_ms waits without limit.
int poll_until(pollfd* fds, nfds_t count, Clock::time_point deadline, bool forever) {
    for (;;) {
        int wait_ms = -1;
        if (!forever) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait_ms = left > 0 ? static_cast<int>(left) : 0;
        }
        const int r = ::poll(fds, count, wait_ms);
        if (r < 0 && errno == EINTR)
            continue;
        return r;
    }
}

}  // namespace

SerialPort::SerialPort() : cancel_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SerialPort::~SerialPort() {
    close();
    if (cancel_fd_ >= 0)
        ::close(cancel_fd_);
}

SerialStatus SerialPort::open(const std::string& device_path) {
    std::lock_guard lock(write_mutex_);
    if (fd_ >= 0 || device_path.empty() || cancel_fd_ < 0)
        return SerialStatus::no_device;
    const int fd = ::open(device_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return SerialStatus::no_device;
    if (!isatty(fd) || !apply_line_settings(fd)) {
        ::close(fd);
        return SerialStatus::io_error;
    }
    // Not shared: later opens by others are refused while it is ours.
    (void)ioctl(fd, TIOCEXCL);
    set_modem_lines(fd);
    tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    return SerialStatus::ok;
}

void SerialPort::close() {
    std::lock_guard lock(write_mutex_);
    if (fd_ < 0)
        return;
    tcflush(fd_, TCIOFLUSH);
    // The exclusive mark would outlive us on a terminal that someone else keeps open.
    (void)ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool SerialPort::write(const uint8_t* bytes, std::size_t n, std::size_t& written,
                       std::chrono::milliseconds timeout) {
    std::lock_guard lock(write_mutex_);
    written = 0;
    if (fd_ < 0)
        return false;
    const auto deadline = Clock::now() + timeout;
    while (written < n) {
        const ssize_t r = ::write(fd_, bytes + written, n - written);
        if (r > 0) {
            written += static_cast<std::size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = poll_until(&pfd, 1, deadline, false);
        if (ready <= 0)
            return false;  // time limit reached, or poll failed
        if (pfd.revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
    }
    return true;
}

SerialStatus SerialPort::read(uint8_t* buffer, std::size_t n, std::size_t& got) {
    got = 0;
    if (fd_ < 0)
        return SerialStatus::io_error;
    for (;;) {
        pollfd fds[2] = {{cancel_fd_, POLLIN, 0}, {fd_, POLLIN, 0}};
        if (poll_until(fds, 2, Clock::time_point{}, true) < 0)
            return SerialStatus::io_error;
        if (fds[0].revents & POLLIN)
            return SerialStatus::cancelled;
        if (fds[1].revents & POLLIN) {
            const ssize_t r = ::read(fd_, buffer, n);
            if (r > 0) {
                got = static_cast<std::size_t>(r);
                return SerialStatus::ok;
            }
            if (r < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            // Nothing to read after all: only a hang-up ends the reading.
            if (r == 0 && !(fds[1].revents & (POLLERR | POLLHUP)))
                continue;
            return SerialStatus::io_error;
        }
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL))
            return SerialStatus::io_error;
    }
}

void SerialPort::wait_cancelled() {
    pollfd pfd{cancel_fd_, POLLIN, 0};
    while (cancel_fd_ >= 0) {
        const int r = poll_until(&pfd, 1, Clock::time_point{}, true);
        if (r < 0 || (pfd.revents & POLLIN))
            return;
    }
}

void SerialPort::cancel_reads() {
    const uint64_t one = 1;
    (void)!::write(cancel_fd_, &one, sizeof one);
}

void SerialPort::reset_cancel() {
    uint64_t value = 0;
    (void)!::read(cancel_fd_, &value, sizeof value);
}

}  // namespace kestrun
