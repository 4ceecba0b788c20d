#include "platform/hidapi_transport.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace kestrun {

namespace {

using Clock = std::chrono::steady_clock;

// Reports of the clip when its descriptor cannot be read: 64 bytes and the report id.
constexpr std::size_t kFallbackReportLength = 65;
// hidapi cannot be woken from a read, so a waiting read sleeps in the kernel for at most this
// long before it looks at the stop signal again.
constexpr int kReadSliceMs = 50;

bool hidapi_ready() {
    static const bool ready = hid_init() == 0;
    return ready;
}

HidReportLengths read_lengths(const char* path) {
    HidReportLengths lengths;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return lengths;
    int size = 0;
    hidraw_report_descriptor descriptor{};
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size > 0 &&
        size <= static_cast<int>(sizeof descriptor.value)) {
        descriptor.size = static_cast<uint32_t>(size);
        if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0)
            lengths = report_lengths_from_descriptor(
                std::span<const uint8_t>(descriptor.value, descriptor.size));
    }
    ::close(fd);
    return lengths;
}

class HidapiConnection : public HidConnection {
public:
    HidapiConnection(hid_device* device, HidReportLengths lengths)
        : device_(device), lengths_(lengths) {}
    ~HidapiConnection() override { hid_close(device_); }

    std::size_t input_report_length() const override { return lengths_.input; }
    std::size_t output_report_length() const override { return lengths_.output; }

    HidStatus write_report(std::span<const uint8_t> report) override {
        if (report.empty() || report.size() > lengths_.output)
            return HidStatus::kIo;
        std::vector<uint8_t> buffer(lengths_.output, 0);
        std::copy(report.begin(), report.end(), buffer.begin());
        const int sent = hid_write(device_, buffer.data(), buffer.size());
        return sent < 0 ? HidStatus::kIo : HidStatus::kOk;
    }

    HidStatus read_report(std::vector<uint8_t>& report, Clock::time_point deadline) override {
        std::vector<uint8_t> buffer(lengths_.input + 1, 0);
        for (;;) {
            if (interrupted_.load())
                return HidStatus::kCancelled;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return HidStatus::kTimeout;
            const int slice = static_cast<int>(std::min<int64_t>(left.count(), kReadSliceMs));
            // Unnumbered reports arrive without their id; the clip's id is 0.
            const int got = hid_read_timeout(device_, buffer.data() + 1, buffer.size() - 1, slice);
            if (got < 0)
                return HidStatus::kNoDevice;
            if (got > 0) {
                buffer[0] = 0;
                report.assign(buffer.begin(), buffer.begin() + 1 + got);
                return HidStatus::kOk;
            }
        }
    }

    void interrupt() override { interrupted_.store(true); }

private:
    hid_device* device_;
    HidReportLengths lengths_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace

HidReportLengths report_lengths_from_descriptor(std::span<const uint8_t> descriptor) {
    // Sums Report Size x Report Count of every Input and Output main item, per report id.
    std::map<unsigned, std::size_t> input_bits;
    std::map<unsigned, std::size_t> output_bits;
    unsigned report_size = 0;
    unsigned report_count = 0;
    unsigned report_id = 0;
    std::size_t i = 0;
    while (i < descriptor.size()) {
        const uint8_t prefix = descriptor[i];
        if (prefix == 0xFE) {  // long item: skip it whole
            if (i + 1 >= descriptor.size())
                break;
            i += 3 + descriptor[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (i + 1 + size > descriptor.size())
            break;
        uint32_t value = 0;
        for (std::size_t k = 0; k < size; ++k)
            value |= uint32_t{descriptor[i + 1 + k]} << (8 * k);
        switch (prefix & 0xFC) {
            case 0x74:
                report_size = value;
                break;
            case 0x94:
                report_count = value;
                break;
            case 0x84:
                report_id = value;
                break;
            case 0x80:
                input_bits[report_id] += std::size_t{report_size} * report_count;
                break;
            case 0x90:
                output_bits[report_id] += std::size_t{report_size} * report_count;
                break;
            default:
                break;
        }
        i += 1 + size;
    }
    HidReportLengths lengths;
    for (const auto& [id, bits] : input_bits)
        lengths.input = std::max(lengths.input, (bits + 7) / 8 + 1);
    for (const auto& [id, bits] : output_bits)
        lengths.output = std::max(lengths.output, (bits + 7) / 8 + 1);
    return lengths;
}

std::unique_ptr<HidConnection> HidapiTransport::open(uint16_t vendor_id, uint16_t product_id) {
    if (!hidapi_ready())
        return nullptr;
    hid_device_info* list = hid_enumerate(vendor_id, product_id);
    std::unique_ptr<HidConnection> connection;
    for (hid_device_info* info = list; info != nullptr && !connection; info = info->next) {
        if (info->vendor_id != vendor_id || info->product_id != product_id)
            continue;
        hid_device* device = hid_open_path(info->path);
        if (device == nullptr)
            continue;
        HidReportLengths lengths = read_lengths(info->path);
        if (lengths.input == 0)
            lengths.input = kFallbackReportLength;
        if (lengths.output == 0)
            lengths.output = kFallbackReportLength;
        connection = std::make_unique<HidapiConnection>(device, lengths);
    }
    hid_free_enumeration(list);
    return connection;
}

}  // namespace kestrun
