#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

// One open serial terminal with the watch's line settings. Writes wait to a deadline; reads wait
// for data or for cancel_reads() from another thread, so a receive thread sleeps until there is
// something to do and ends at once when asked.
namespace kestrun {

enum class SerialStatus { ok, timeout, io_error, no_device, cancelled };

class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the terminal for reading and writing, for this program alone, at 115200 baud, 8 data
    // bits, no parity, one stop bit, raw, RTS off and DTR on, and purges both directions.
    // no_device when it cannot be opened or is already open here; io_error when it is no terminal
    // or refuses the line settings (it is closed again then). Pseudo-terminals have no modem lines,
    // so a refusal of RTS or DTR does not fail the opening.
    SerialStatus open(const std::string& device_path);
    bool is_open() const { return fd_ >= 0; }
    // Cancels reads, then closes. A read running on another thread must have ended first.
    void close();

    // Writes the n bytes, waiting at most `timeout` for the line to take them. True when all went
    // out; `written` tells how many did in every case. Writers are serialised.
    bool write(const uint8_t* bytes, std::size_t n, std::size_t& written,
               std::chrono::milliseconds timeout);

    // Waits without limit until bytes arrive or reads are cancelled, then reads up to n bytes.
    // ok with got > 0; cancelled once cancel_reads() was called; io_error when the line failed or
    // hung up (the caller should then only wait for the cancel).
    SerialStatus read(uint8_t* buffer, std::size_t n, std::size_t& got);
    // Waits until reads are cancelled.
    void wait_cancelled();
    // Wakes a waiting read and makes later reads return cancelled until reset_cancel().
    void cancel_reads();
    void reset_cancel();

private:
    int fd_ = -1;
    int cancel_fd_ = -1;  // an eventfd: readable once reads are cancelled
    std::mutex write_mutex_;
};

}  // namespace kestrun
