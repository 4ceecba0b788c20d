#include "stopwatch/hid_device.h"

#include <algorithm>

#include "stopwatch/link_messages.h"
#include "stopwatch/packet_log.h"

namespace kestrun {

uint8_t report_checksum(std::span<const uint8_t> report, std::size_t payload_length) {
    unsigned sum = 0;
    for (std::size_t i = 1; i < payload_length + 3 && i < report.size(); ++i)
        sum += report[i];
    return static_cast<uint8_t>(sum);
}

HidDevice::~HidDevice() {
    Close();
}

bool HidDevice::Open(HidTransport& transport, uint16_t vendor_id, uint16_t product_id) {
    std::lock_guard lock(send_mutex_);
    if (connection_)
        return false;
    connection_ = transport.open(vendor_id, product_id);
    if (!connection_)
        return false;
    send_sequence_ = 0;
    return true;
}

bool HidDevice::Close() {
    std::unique_ptr<HidConnection> closing;
    {
        std::lock_guard lock(send_mutex_);
        closing = std::move(connection_);
    }
    if (!closing)
        return false;
    packet_log().set_logging(false);
    packet_log().post(make_message(kMsgPacketSwitchesChanged));
    return true;
}

bool HidDevice::is_open() const {
    std::lock_guard lock(send_mutex_);
    return connection_ != nullptr;
}

bool HidDevice::SendReport(std::span<const uint8_t> payload) {
    if (payload.empty() || payload.size() > kMaxSendPayload)
        return false;
    std::lock_guard lock(send_mutex_);
    if (!connection_)
        return false;
    const std::size_t n = payload.size();
    const std::size_t length = std::max(connection_->output_report_length(), n + 4);
    if (n + 4 > connection_->output_report_length())
        return false;
    std::vector<uint8_t> report(length, 0);
    report[1] = send_sequence_++;
    report[2] = static_cast<uint8_t>(n);
    std::copy(payload.begin(), payload.end(), report.begin() + 3);
    report[n + 3] = report_checksum(report, n);
    const bool sent = connection_->write_report(report) == HidStatus::kOk;
    if (packet_log().logging() && packet_log().send_logging()) {
        // The dialog shows the report from its sequence byte to its checksum.
        std::vector<uint8_t> copy(report.begin() + 1, report.begin() + static_cast<long>(n) + 4);
        packet_log().post(
            make_message(kMsgPacketSent, 0, static_cast<int64_t>(n + 3), std::move(copy)));
    }
    return sent;
}

HidStatus HidDevice::ReadReport(std::vector<uint8_t>& report,
                                std::chrono::steady_clock::time_point deadline) {
    HidConnection* connection;
    {
        std::lock_guard lock(send_mutex_);
        connection = connection_.get();
    }
    if (connection == nullptr)
        return HidStatus::kNoDevice;
    return connection->read_report(report, deadline);
}

void HidDevice::Interrupt() {
    std::lock_guard lock(send_mutex_);
    if (connection_)
        connection_->interrupt();
}

std::size_t HidDevice::input_report_length() const {
    std::lock_guard lock(send_mutex_);
    return connection_ ? connection_->input_report_length() : 0;
}

std::size_t HidDevice::output_report_length() const {
    std::lock_guard lock(send_mutex_);
    return connection_ ? connection_->output_report_length() : 0;
}

}  // namespace kestrun
