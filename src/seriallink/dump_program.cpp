#include "seriallink/dump_program.h"

#include "platform/debug_print.h"
#include "platform/registry_store.h"
#include "settings/current_settings.h"

namespace kestrun {

SerialLinkSettings load_serial_link_settings() {
    SerialLinkSettings settings;
    settings.last_com = last_com_port();
    settings.bypass_last_com = read_velmora_number("BypassLastCOM", 0);
    settings.force_com = read_velmora_number("ForceCOM", 0);
    settings.debug_level = read_velmora_number("DebugLevel", 0);
    return settings;
}

DumpConversationOptions program_dump_options() {
    DumpConversationOptions options;
    options.debug_print_masked = [](const std::string& text, uint32_t mask) {
        DebugPrintMasked(text, mask);
    };
    options.link.diagnostic = [](std::string_view line) {
        DebugPrint("%.*s", static_cast<int>(line.size()), line.data());
    };
    options.last_com_changed = [](int last_com) { set_last_com_port(last_com); };
    return options;
}

}  // namespace kestrun
