#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/serial_port.h"

// The far end of a pseudo-terminal, for a simulated device: the program opens terminal_path() as
// it would open a serial port, and the device reads and writes here.
namespace kestrun {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair. The terminal side is made raw and kept open here, so the device does not
    // see a hang-up each time the program closes and opens the port again.
    bool open();
    void close();
    const std::string& terminal_path() const { return terminal_path_; }

    bool write(const uint8_t* bytes, std::size_t n, std::chrono::milliseconds timeout);
    // As SerialPort::read: waits for bytes or cancel_reads().
    SerialStatus read(uint8_t* buffer, std::size_t n, std::size_t& got);
    void cancel_reads();

private:
    int master_fd_ = -1;
    int terminal_fd_ = -1;
    int cancel_fd_ = -1;
    std::string terminal_path_;
};

}  // namespace kestrun
