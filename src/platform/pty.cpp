#include "platform/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace kestrun {
namespace {

using Clock = std::chrono::steady_clock;

int wait_ms_until(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PseudoTerminal::PseudoTerminal() : cancel_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

PseudoTerminal::~PseudoTerminal() {
    close();
    if (cancel_fd_ >= 0)
        ::close(cancel_fd_);
}

bool PseudoTerminal::open() {
    if (master_fd_ >= 0 || cancel_fd_ < 0)
        return false;
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return false;
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return false;
    }
    const int terminal = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        ::close(master);
        return false;
    }
    termios tio{};
    if (tcgetattr(terminal, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(terminal, TCSANOW, &tio);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    master_fd_ = master;
    terminal_fd_ = terminal;
    terminal_path_ = name;
    return true;
}

void PseudoTerminal::close() {
    if (terminal_fd_ >= 0)
        ::close(terminal_fd_);
    if (master_fd_ >= 0)
        ::close(master_fd_);
    terminal_fd_ = master_fd_ = -1;
}

bool PseudoTerminal::write(const uint8_t* bytes, std::size_t n, std::chrono::milliseconds timeout) {
    if (master_fd_ < 0)
        return false;
    const auto deadline = Clock::now() + timeout;
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::write(master_fd_, bytes + done, n - done);
        if (r > 0) {
            done += static_cast<std::size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd pfd{master_fd_, POLLOUT, 0};
        int ready;
        do {
            ready = ::poll(&pfd, 1, wait_ms_until(deadline));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return false;
    }
    return true;
}

SerialStatus PseudoTerminal::read(uint8_t* buffer, std::size_t n, std::size_t& got) {
    got = 0;
    if (master_fd_ < 0)
        return SerialStatus::io_error;
    for (;;) {
        pollfd fds[2] = {{cancel_fd_, POLLIN, 0}, {master_fd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return SerialStatus::io_error;
        if (fds[0].revents & POLLIN)
            return SerialStatus::cancelled;
        if (fds[1].revents & POLLIN) {
            const ssize_t r = ::read(master_fd_, buffer, n);
            if (r > 0) {
                got = static_cast<std::size_t>(r);
                return SerialStatus::ok;
            }
            if (r < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            return SerialStatus::io_error;
        }
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL))
            return SerialStatus::io_error;
    }
}

void PseudoTerminal::cancel_reads() {
    const uint64_t one = 1;
    (void)!::write(cancel_fd_, &one, sizeof one);
}

}  // namespace kestrun
