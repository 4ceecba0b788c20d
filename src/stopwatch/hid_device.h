#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/hid_transport.h"

// One open HID clip: the connection, the send lock and the send sequence counter. Reports are
// byte 0 report id 0, byte 1 sequence, byte 2 payload length n, the payload, then the checksum
// (low 8 bits of the sum of bytes 1 .. n+2).
namespace kestrun {

constexpr std::size_t kMaxSendPayload = 47;
// Checksum of a report: low 8 bits of the sum of bytes 1 .. n+2.
uint8_t report_checksum(std::span<const uint8_t> report, std::size_t payload_length);

class HidDevice {
public:
    HidDevice() = default;
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Opens the first device with these ids. False when one is open already or none is found.
    bool Open(HidTransport& transport, uint16_t vendor_id, uint16_t product_id);
    // Switches packet logging off, tells the packet dialog and closes. True when one was open.
    bool Close();
    bool is_open() const;

    // Builds and sends one report of `payload` (1 to 47 bytes); false when refused or not sent.
    bool SendReport(std::span<const uint8_t> payload);

    // Waits for one input report (see HidConnection::read_report). Only one thread reads (the
    // link's receive thread), and the link closes the device only after that thread ended.
    HidStatus ReadReport(std::vector<uint8_t>& report,
                         std::chrono::steady_clock::time_point deadline);
    // Ends a waiting ReadReport at once.
    void Interrupt();

    std::size_t input_report_length() const;
    std::size_t output_report_length() const;

private:
    mutable std::mutex send_mutex_;
    std::unique_ptr<HidConnection> connection_;
    uint8_t send_sequence_ = 0;
};

}  // namespace kestrun
