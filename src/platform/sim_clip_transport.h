#pragma once

#include <string>

#include "platform/hid_transport.h"

// The simulated clip as a HID device: a Unix SOCK_SEQPACKET socket that carries one whole report
// per message, report id first, as hidraw delivers them.
namespace kestrun {

// Both report lengths of the simulated clip, counting the report id byte.
constexpr std::size_t kSimClipReportLength = 65;

// $KESTRUN_CLIP_SOCKET, else $XDG_RUNTIME_DIR/kestrun/clip.sock, else /tmp/kestrun-UID/clip.sock.
std::string default_clip_socket_path();

class SimClipTransport : public HidTransport {
public:
    // An empty path means default_clip_socket_path() at each open.
    explicit SimClipTransport(std::string socket_path = {});
    // The simulated clip answers to any ids: it stands in for the one clip there is.
    std::unique_ptr<HidConnection> open(uint16_t vendor_id, uint16_t product_id) override;

private:
    std::string socket_path_;
};

}  // namespace kestrun
