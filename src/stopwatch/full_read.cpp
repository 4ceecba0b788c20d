#include "stopwatch/full_read.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "stopwatch/link_messages.h"
#include "stopwatch/stopwatch_memory.h"

namespace kestrun {

namespace {

std::string hex_text(const char* pattern, unsigned value) {
    char text[48];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

void run_full_read(const MemoryReader& read, MessageSink& owner, std::chrono::milliseconds pause,
                   const StopAwarePause& wait) {
    std::size_t done = 0;
    while (done < kStopwatchMemorySize) {
        const auto piece =
            static_cast<uint8_t>(std::min<std::size_t>(kStopwatchMemorySize - done, kMaxReadCount));
        const auto address = static_cast<uint16_t>(done);
        owner.post(make_message(kMsgFullReadText, 0, 0, hex_text("Read EEPROM 0x%04X", address)));
        std::vector<uint8_t> bytes(piece);
        const ReadResult result = read(address, piece, bytes.data());
        if (result.result != 0) {
            if (result.error_code == kReadErrorAborted)
                return;
            owner.post(make_message(kMsgFullReadText, 0, 0,
                                    hex_text("Error code = 0x%04X", result.error_code)));
            break;
        }
        owner.post(make_message(kMsgFullReadPiece, address, 0, std::move(bytes)));
        done += piece;
        if (pause.count() > 0 && wait(pause))
            return;
    }
    owner.post(make_message(kMsgFullReadPiece, 0, 1));
}

}  // namespace kestrun
