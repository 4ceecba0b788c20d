#include "clip_device.h"

#include <cstdlib>

#include "platform/sim_clip_transport.h"

namespace kestrun::clipsim {

namespace {

uint8_t checksum(std::span<const uint8_t> report, std::size_t payload_length) {
    unsigned sum = 0;
    for (std::size_t i = 1; i < payload_length + 3; ++i)
        sum += report[i];
    return static_cast<uint8_t>(sum);
}

}  // namespace

std::optional<Fault> parse_fault(const std::string& text) {
    const auto at = text.find('@');
    if (at == std::string::npos)
        return std::nullopt;
    const std::string kind = text.substr(0, at);
    char* end = nullptr;
    const long number = std::strtol(text.c_str() + at + 1, &end, 10);
    if (end == text.c_str() + at + 1 || *end != '\0' || number < 1 || number > 1000000000)
        return std::nullopt;
    static const std::pair<const char*, FaultKind> kinds[] = {
        {"silent", FaultKind::kSilent},     {"late", FaultKind::kLate},
        {"checksum", FaultKind::kChecksum}, {"repeat", FaultKind::kRepeat},
        {"short", FaultKind::kShort},       {"long", FaultKind::kLong},
        {"unplug", FaultKind::kUnplug},
    };
    for (const auto& [name, value] : kinds)
        if (kind == name)
            return Fault{value, static_cast<int>(number)};
    return std::nullopt;
}

ClipDevice::ClipDevice(const MemoryImage& image, std::vector<Fault> faults)
    : image_(image), faults_(std::move(faults)) {}

std::vector<uint8_t> ClipDevice::make_answer(std::span<const uint8_t> payload, bool repeat_sequence,
                                             bool bad_checksum) {
    std::vector<uint8_t> report(kSimClipReportLength, 0);
    // The clip counts its answers from 1; a repeat carries the previous answer's number.
    if (!repeat_sequence)
        ++sequence_;
    report[1] = sequence_;
    report[2] = static_cast<uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), report.begin() + 3);
    report[payload.size() + 3] =
        static_cast<uint8_t>(checksum(report, payload.size()) + (bad_checksum ? 1 : 0));
    return report;
}

ClipAction ClipDevice::receive(std::span<const uint8_t> report) {
    ++received_;
    std::optional<FaultKind> fault;
    for (const Fault& f : faults_)
        if (f.report_number == received_)
            fault = f.kind;

    ClipAction action;
    if (fault == FaultKind::kUnplug) {
        action.unplug = true;
        return action;
    }
    if (fault == FaultKind::kSilent)
        return action;
    if (report.size() < 4)
        return action;
    const std::size_t n = report[2];
    if (n == 0 || n + 4 > report.size() || checksum(report, n) != report[n + 3])
        return action;
    const uint8_t* payload = report.data() + 3;

    std::vector<uint8_t> answer;
    if (payload[0] == 0x64 && n == 1) {
        answer = {0x65};
    } else if (payload[0] == 0x03 && n >= 2 && payload[1] == 0x01) {
        answer = {0x04, static_cast<uint8_t>(kSegmentAddress & 0xFF),
                  static_cast<uint8_t>(kSegmentAddress >> 8)};
    } else if (payload[0] == 0x03 && n >= 5 && payload[1] == 0x02) {
        const std::size_t address = payload[2] | payload[3] << 8;
        std::size_t count = payload[4];
        if (count < 1 || count > 40)
            return action;
        if (fault == FaultKind::kShort)
            --count;
        answer.push_back(0x04);
        // Addresses past the 8 KB memory read as erased.
        for (std::size_t i = 0; i < count; ++i)
            answer.push_back(address + i < kImageSize ? image_[address + i] : 0xFF);
        if (fault == FaultKind::kLong)
            answer.resize(45, 0x00);
    } else {
        return action;
    }
    action.answer = make_answer(answer, fault == FaultKind::kRepeat, fault == FaultKind::kChecksum);
    action.late = fault == FaultKind::kLate;
    return action;
}

}  // namespace kestrun::clipsim
