#include "stopwatch/packet_log.h"

namespace kestrun {

void PacketLog::set_dialog(MessageSink* dialog) {
    std::lock_guard lock(mutex_);
    dialog_ = dialog;
}

bool PacketLog::post(Message message) {
    std::lock_guard lock(mutex_);
    if (dialog_ == nullptr)
        return false;
    dialog_->post(std::move(message));
    return true;
}

PacketLog& packet_log() {
    static PacketLog log;
    return log;
}

}  // namespace kestrun
