#include "seriallink/dump_outcome.h"

#include <vector>

#include "platform/byte_order.h"
#include "seriallink/watch_messages.h"
#include "settings/language.h"
#include "ui/string_ids.h"

namespace kestrun {

namespace {
constexpr std::size_t kRecordSize = 12;
}

Message make_dump_outcome_message(int result) {
    std::vector<uint8_t> record(kRecordSize);
    write_u32_le(record.data(), kOutcomeCategoryMemoryDump);
    write_i32_le(record.data() + 4, result);
    write_u32_le(record.data() + 8, 1);
    return make_message(kMsgDumpOutcome, 0, 0, std::move(record));
}

std::optional<DumpOutcome> read_dump_outcome(const Message& message) {
    const std::vector<uint8_t>* record = message.bytes();
    if (message.id != kMsgDumpOutcome || record == nullptr || record->size() != kRecordSize)
        return std::nullopt;
    return DumpOutcome{read_u32_le(record->data()), read_i32_le(record->data() + 4),
                       read_u32_le(record->data() + 8)};
}

std::string dump_outcome_text(int result) {
    if (result == kDumpResultNoPort)
        return GetText(kStrNoVirtualComPort);
    if (result == kDumpResultNoAnswer)
        return GetText(kStrErrorCommunicatingWithWatch);
    return {};
}

}  // namespace kestrun
