#include <sys/stat.h>

#include "platform/hid_transport.h"
#include "platform/hidapi_transport.h"
#include "platform/sim_clip_transport.h"

namespace kestrun {

namespace {

// Real clips first; the simulated clip is listed beside them when its socket exists.
class SystemHidTransport : public HidTransport {
public:
    std::unique_ptr<HidConnection> open(uint16_t vendor_id, uint16_t product_id) override {
        if (auto real = hidapi_.open(vendor_id, product_id))
            return real;
        struct stat info {};
        const std::string socket = default_clip_socket_path();
        if (::stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
            return nullptr;
        return SimClipTransport(socket).open(vendor_id, product_id);
    }

private:
    HidapiTransport hidapi_;
};

}  // namespace

HidTransport& system_hid_transport() {
    static SystemHidTransport transport;
    return transport;
}

}  // namespace kestrun
