#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The HID service the stopwatch link needs: find a device by vendor and product id, learn its
// report lengths, send one output report, and receive input reports waiting to a deadline with a
// stop signal. Reports are handled as the clip defines them: byte 0 is the report id (always 0),
// and both lengths count that byte.
namespace kestrun {

enum class HidStatus {
    kOk,
    kTimeout,    // the deadline passed without a report
    kIo,         // the device refused the transfer
    kNoDevice,   // the device is gone (unplugged, simulator ended)
    kCancelled,  // interrupt() was called
};

class HidConnection {
public:
    virtual ~HidConnection() = default;

    virtual std::size_t input_report_length() const = 0;
    virtual std::size_t output_report_length() const = 0;

    // Sends one output report of at most output_report_length() bytes; shorter reports are
    // zero-filled to that length.
    virtual HidStatus write_report(std::span<const uint8_t> report) = 0;

    // Waits for one input report until `deadline` or until interrupt(). On kOk `report` holds the
    // whole report, report id first. Never spins: an idle wait uses no processor time.
    virtual HidStatus read_report(std::vector<uint8_t>& report,
                                  std::chrono::steady_clock::time_point deadline) = 0;

    // Ends a waiting read at once, from any thread. From then on every read returns kCancelled:
    // the connection is on its way to being closed.
    virtual void interrupt() = 0;
};

class HidTransport {
public:
    virtual ~HidTransport() = default;
    // Opens the first present device with these ids; nullptr when there is none or it cannot be
    // opened.
    virtual std::unique_ptr<HidConnection> open(uint16_t vendor_id, uint16_t product_id) = 0;
};

// What the program uses: real HID devices (hidraw) first, then the simulated clip when its socket
// exists.
HidTransport& system_hid_transport();

}  // namespace kestrun
