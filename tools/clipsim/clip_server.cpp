#include "clip_server.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

namespace kestrun::clipsim {

namespace {

using Clock = std::chrono::steady_clock;

bool make_folders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool fill_address(const std::string& path, sockaddr_un& address) {
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

ClipServer::ClipServer(const MemoryImage& image, std::vector<Fault> faults, ServerOptions options)
    : device_(image, std::move(faults)), options_(std::move(options)) {}

ClipServer::~ClipServer() {
    stop();
}

int ClipServer::reports_received() const {
    std::lock_guard lock(mutex_);
    return device_.reports_received();
}

bool ClipServer::start(std::string& error) {
    sockaddr_un address;
    if (!fill_address(options_.socket_path, address)) {
        error = "bad socket path: " + options_.socket_path;
        return false;
    }
    if (!make_folders(options_.socket_path)) {
        error = "cannot create the folder of " + options_.socket_path + ": " + std::strerror(errno);
        return false;
    }
    // A socket file that nobody answers on is left over from an ended clip.
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (probe >= 0) {
        const bool taken =
            ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        if (taken) {
            error = "another clip listens on " + options_.socket_path;
            return false;
        }
    }
    ::unlink(options_.socket_path.c_str());
    listen_fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (listen_fd_ < 0 || wake_fd_ < 0 ||
        ::bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listen_fd_, 4) != 0) {
        error = "cannot listen on " + options_.socket_path + ": " + std::strerror(errno);
        if (listen_fd_ >= 0)
            ::close(listen_fd_);
        if (wake_fd_ >= 0)
            ::close(wake_fd_);
        listen_fd_ = wake_fd_ = -1;
        return false;
    }
    socket_removed_ = false;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void ClipServer::stop() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        while (::write(wake_fd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    if (listen_fd_ >= 0)
        ::close(listen_fd_);
    if (wake_fd_ >= 0)
        ::close(wake_fd_);
    listen_fd_ = wake_fd_ = -1;
    remove_socket();
}

void ClipServer::remove_socket() {
    if (socket_removed_)
        return;
    ::unlink(options_.socket_path.c_str());
    socket_removed_ = true;
}

void ClipServer::serve() {
    // The device delay is kept to the microsecond, not to the kernel's default timer slack.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    int client = -1;
    // Answers waiting for their time, in the order they fall due.
    std::multimap<Clock::time_point, std::vector<uint8_t>> due;
    bool listening = true;
    for (;;) {
        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = {wake_fd_, POLLIN, 0};
        const nfds_t client_index = count;
        if (client >= 0)
            fds[count++] = {client, POLLIN, 0};
        const nfds_t listen_index = count;
        if (listening && client < 0)
            fds[count++] = {listen_fd_, POLLIN, 0};

        timespec wait{};
        timespec* timeout = nullptr;
        if (!due.empty()) {
            const auto left = std::max(due.begin()->first - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
            timeout = &wait;
        }
        const int ready = ::ppoll(fds, count, timeout, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && fds[0].revents != 0)
            break;

        const auto now = Clock::now();
        while (!due.empty() && due.begin()->first <= now) {
            if (client >= 0)
                ::send(client, due.begin()->second.data(), due.begin()->second.size(),
                       MSG_NOSIGNAL);
            due.erase(due.begin());
        }
        if (ready <= 0)
            continue;

        if (client >= 0 && fds[client_index].revents != 0) {
            uint8_t buffer[256];
            const ssize_t got = ::recv(client, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0) {
                // The host closed the clip; the next one may connect.
                ::close(client);
                client = -1;
                due.clear();
                continue;
            }
            ClipAction action;
            {
                std::lock_guard lock(mutex_);
                action = device_.receive(
                    std::span<const uint8_t>(buffer, static_cast<std::size_t>(got)));
            }
            if (action.unplug) {
                // Gone for good before the host can notice: no socket file to open again.
                listening = false;
                remove_socket();
                ::close(listen_fd_);
                listen_fd_ = -1;
                unplugged_.store(true);
                ::close(client);
                client = -1;
                due.clear();
                continue;
            }
            if (!action.answer.empty()) {
                if (options_.delay.count() == 0 && !action.late && due.empty()) {
                    ::send(client, action.answer.data(), action.answer.size(), MSG_NOSIGNAL);
                    continue;
                }
                auto when = Clock::now() + options_.delay;
                if (action.late)
                    when += options_.late_delay;
                due.emplace(when, std::move(action.answer));
            }
        } else if (listening && client < 0 && listen_index < count &&
                   fds[listen_index].revents != 0) {
            client = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        }
    }
    if (client >= 0)
        ::close(client);
}

}  // namespace kestrun::clipsim
