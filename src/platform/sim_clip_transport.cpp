#include "platform/sim_clip_transport.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kestrun {

namespace {

using Clock = std::chrono::steady_clock;

class SimClipConnection : public HidConnection {
public:
    SimClipConnection(int socket_fd, int wake_fd) : socket_fd_(socket_fd), wake_fd_(wake_fd) {}
    ~SimClipConnection() override {
        ::close(socket_fd_);
        ::close(wake_fd_);
    }

    std::size_t input_report_length() const override { return kSimClipReportLength; }
    std::size_t output_report_length() const override { return kSimClipReportLength; }

    HidStatus write_report(std::span<const uint8_t> report) override {
        if (report.size() > kSimClipReportLength)
            return HidStatus::kIo;
        uint8_t buffer[kSimClipReportLength] = {};
        std::copy(report.begin(), report.end(), buffer);
        for (;;) {
            const ssize_t sent = ::send(socket_fd_, buffer, sizeof buffer, MSG_NOSIGNAL);
            if (sent == static_cast<ssize_t>(sizeof buffer))
                return HidStatus::kOk;
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent < 0 && (errno == EPIPE || errno == ECONNRESET || errno == ENOTCONN))
                return HidStatus::kNoDevice;
            return HidStatus::kIo;
        }
    }

    HidStatus read_report(std::vector<uint8_t>& report, Clock::time_point deadline) override {
        for (;;) {
            pollfd fds[2] = {{socket_fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            const int timeout_ms = static_cast<int>(std::clamp<int64_t>(left.count(), 0, 1 << 30));
            const int ready = ::poll(fds, 2, timeout_ms);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                return HidStatus::kIo;
            }
            if (fds[1].revents != 0)
                return HidStatus::kCancelled;
            if (ready == 0) {
                if (Clock::now() >= deadline)
                    return HidStatus::kTimeout;
                continue;
            }
            if (fds[0].revents & POLLIN) {
                uint8_t buffer[256];
                const ssize_t got = ::recv(socket_fd_, buffer, sizeof buffer, 0);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return HidStatus::kNoDevice;
                report.assign(buffer, buffer + got);
                return HidStatus::kOk;
            }
            // Hang-up or error without data: the simulator has gone.
            return HidStatus::kNoDevice;
        }
    }

    void interrupt() override {
        const uint64_t one = 1;
        while (::write(wake_fd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }

private:
    int socket_fd_;
    int wake_fd_;
};

}  // namespace

std::string default_clip_socket_path() {
    if (const char* path = std::getenv("KESTRUN_CLIP_SOCKET"); path && *path)
        return path;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/kestrun/clip.sock";
    return "/tmp/kestrun-" + std::to_string(::getuid()) + "/clip.sock";
}

SimClipTransport::SimClipTransport(std::string socket_path)
    : socket_path_(std::move(socket_path)) {}

std::unique_ptr<HidConnection> SimClipTransport::open(uint16_t, uint16_t) {
    const std::string path = socket_path_.empty() ? default_clip_socket_path() : socket_path_;
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return nullptr;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    int connected;
    do {
        connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (connected < 0 && errno == EINTR);
    if (connected < 0) {
        ::close(fd);
        return nullptr;
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<SimClipConnection>(fd, wake);
}

}  // namespace kestrun
