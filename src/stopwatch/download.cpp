#include "stopwatch/download.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
#include <vector>

#include "platform/byte_order.h"
#include "stopwatch/diagnostics.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/stopwatch_memory.h"

namespace kestrun {

namespace {

std::mutex& identification_mutex() {
    static std::mutex mutex;
    return mutex;
}

std::array<uint8_t, 4>& identification() {
    static std::array<uint8_t, 4> bytes{};
    return bytes;
}

std::string format(const char* pattern, int a, int b) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

enum class LapsOutcome { kRead, kFailed, kAborted };

// Reads one session's chain of lap blocks into `laps`. Valid laps are kept up to the first
// invalid one; a failed read leaves none.
LapsOutcome read_session_laps(const MemoryReader& read, MessageSink& owner, uint16_t first_block,
                              std::vector<uint32_t>& laps) {
    uint16_t block = first_block;
    // A chain that comes back to a block it has visited would never end.
    std::set<uint16_t> visited;
    for (;;) {
        if (!visited.insert(block).second) {
            stopwatch_diagnostic("Lap block chain loops !");
            return LapsOutcome::kRead;
        }
        uint8_t header[kLapBlockHeaderSize];
        ReadResult result = read(block, kLapBlockHeaderSize, header);
        if (result.result != 0) {
            laps.clear();
            return result.error_code == kReadErrorAborted ? LapsOutcome::kAborted
                                                          : LapsOutcome::kFailed;
        }
        const uint16_t next = read_u16_le(header);
        const unsigned count = read_u16_le(header + 2);
        unsigned done = 0;
        while (done < count) {
            const unsigned piece = std::min<unsigned>(count - done, kLapsPerPiece);
            uint8_t bytes[kLapsPerPiece * 4];
            const auto address = static_cast<uint16_t>(block + kLapBlockHeaderSize + 4 * done);
            result = read(address, static_cast<uint8_t>(piece * 4), bytes);
            if (result.result != 0) {
                laps.clear();
                return result.error_code == kReadErrorAborted ? LapsOutcome::kAborted
                                                              : LapsOutcome::kFailed;
            }
            for (unsigned k = 0; k < piece; ++k) {
                const uint32_t lap = read_u32_le(bytes + 4 * k);
                if (!is_valid_lap(lap)) {
                    stopwatch_diagnostic("Invalid lap info is detected !");
                    return LapsOutcome::kRead;
                }
                laps.push_back(lap);
                owner.post(make_message(kMsgProgressStep));
            }
            done += piece;
        }
        if (next == 0)
            return LapsOutcome::kRead;
        block = next;
    }
}

}  // namespace

std::array<uint8_t, 4> stopwatch_identification() {
    std::lock_guard lock(identification_mutex());
    return identification();
}

void run_download(const MemoryReader& read, MessageSink& owner, SessionTable& table) {
    table.clear();

    // A failed read in the directory scan ends the download; a stop request ends it silently.
    auto fail_scan = [&owner](const ReadResult& result) {
        if (result.error_code == kReadErrorAborted)
            return;
        if (result.error_code == kReadErrorTimeout)
            owner.post(make_message(kMsgTransferNotice, kNoticeClipTimeout));
        owner.post(make_message(kMsgDownloadEnded, 0));
    };

    uint8_t id[4];
    ReadResult result = read(kIdentificationAddress, 4, id);
    if (result.result != 0)
        return fail_scan(result);
    {
        std::lock_guard lock(identification_mutex());
        std::copy(id, id + 4, identification().begin());
    }

    owner.post(make_message(kMsgProgressRange, 0, 300));
    owner.post(make_message(kMsgProgressPosition, 0));
    owner.post(make_message(kMsgProgressStep));

    std::vector<DirectoryEntry> entries;
    unsigned total_laps = 0;
    for (int i = 0; i < kDirectoryEntries; ++i) {
        const auto address = static_cast<uint16_t>(kDirectoryEntrySize * i);
        uint8_t mark[2];
        result = read(address, 2, mark);
        if (result.result != 0)
            return fail_scan(result);
        owner.post(make_message(kMsgProgressStep));
        if (mark[0] == 0xFF && mark[1] == 0xFF)
            continue;
        uint8_t bytes[kDirectoryBytesRead];
        result = read(address, kDirectoryBytesRead, bytes);
        if (result.result != 0)
            return fail_scan(result);
        const DirectoryEntry entry = decode_directory_entry(bytes);
        total_laps += entry.lap_count;
        owner.post(
            make_message(kMsgLogLine, 0, 0,
                         format("Segment %d , Lap = %d", static_cast<int>(entry.session_number),
                                static_cast<int>(entry.lap_count))));
        entries.push_back(entry);
    }

    if (entries.empty()) {
        owner.post(make_message(kMsgTransferNotice, kNoticeNoSession));
        return;
    }

    stopwatch_diagnostic(format("Total segments=%d , laps = %d", static_cast<int>(entries.size()),
                                static_cast<int>(total_laps)));
    owner.post(make_message(kMsgProgressRange, 0, static_cast<int64_t>(total_laps) + 300));
    owner.post(make_message(kMsgProgressPosition, 300));

    std::vector<StopwatchSession> sessions;
    sessions.reserve(entries.size());
    for (const DirectoryEntry& entry : entries) {
        StopwatchSession session;
        session.start = entry.start;
        if (read_session_laps(read, owner, entry.first_block, session.laps) ==
            LapsOutcome::kAborted)
            return;
        sessions.push_back(std::move(session));
    }
    // The table is complete before the end message lets the owner read it.
    for (StopwatchSession& session : sessions)
        table.add(std::move(session));
    owner.post(make_message(kMsgDownloadEnded, 1));
}

}  // namespace kestrun
