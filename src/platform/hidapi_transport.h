#pragma once

#include <cstdint>
#include <span>

#include "platform/hid_transport.h"

// Real HID devices through hidapi's hidraw backend.
namespace kestrun {

class HidapiTransport : public HidTransport {
public:
    std::unique_ptr<HidConnection> open(uint16_t vendor_id, uint16_t product_id) override;
};

struct HidReportLengths {
    std::size_t input = 0;  // counting the report id byte; 0 when the descriptor has none
    std::size_t output = 0;
};
// The largest input and output report of a report descriptor, plus the report id byte.
HidReportLengths report_lengths_from_descriptor(std::span<const uint8_t> descriptor);

}  // namespace kestrun
