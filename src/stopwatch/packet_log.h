#pragma once

#include <atomic>
#include <mutex>

#include "platform/message.h"

// The packet dialog's three process-wide switches and its message target. The link reads them
// on every report it sends or receives; the dialog and the transfer window write them on the
// user-interface thread.
namespace kestrun {

class PacketLog {
public:
    bool logging() const { return logging_.load(); }
    void set_logging(bool on) { logging_.store(on); }
    bool send_logging() const { return send_.load(); }
    void set_send_logging(bool on) { send_.store(on); }
    bool receive_logging() const { return receive_.load(); }
    void set_receive_logging(bool on) { receive_.store(on); }

    // The packet dialog's sink (null while there is no dialog). Posting goes through the lock so
    // the dialog can go away while a link still runs.
    void set_dialog(MessageSink* dialog);
    bool post(Message message);

private:
    std::atomic<bool> logging_{false};
    std::atomic<bool> send_{true};
    std::atomic<bool> receive_{true};
    std::mutex mutex_;
    MessageSink* dialog_ = nullptr;
};

PacketLog& packet_log();

}  // namespace kestrun
