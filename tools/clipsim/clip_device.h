#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scenario.h"

// The clip's answers to the host's reports, with the faults it can be told to inject.
namespace kestrun::clipsim {

enum class FaultKind { kSilent, kLate, kChecksum, kRepeat, kShort, kLong, kUnplug };

struct Fault {
    FaultKind kind;
    int report_number;  // the N-th report the clip receives, counting from 1
};

// "silent@3" and the like; nullopt when the text is not a fault.
std::optional<Fault> parse_fault(const std::string& text);

struct ClipAction {
    std::vector<uint8_t> answer;  // a whole report, report id first; empty: no answer
    bool late = false;            // answer only after the late delay
    bool unplug = false;          // the clip disappears instead of answering
};

class ClipDevice {
public:
    explicit ClipDevice(const MemoryImage& image, std::vector<Fault> faults = {});

    // One report from the host, report id first.
    ClipAction receive(std::span<const uint8_t> report);

    int reports_received() const { return received_; }
    const MemoryImage& image() const { return image_; }

    // The 16-bit value the clip gives for the segment address request.
    static constexpr uint16_t kSegmentAddress = kFirstBlockAddress;

private:
    std::vector<uint8_t> make_answer(std::span<const uint8_t> payload, bool repeat_sequence,
                                     bool bad_checksum);

    MemoryImage image_;
    std::vector<Fault> faults_;
    int received_ = 0;
    uint8_t sequence_ = 0;
};

}  // namespace kestrun::clipsim
