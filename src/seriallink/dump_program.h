#pragma once

#include "seriallink/dump_conversation.h"
#include "seriallink/serial_link_settings.h"

// The memory-dump conversation wired to the program's own settings and diagnostic output.
namespace kestrun {

// LastCOM from the loaded settings; BypassLastCOM, ForceCOM and DebugLevel from the registry
// switches, read now.
SerialLinkSettings load_serial_link_settings();

// Options that send diagnostic lines to the diagnostic output (DebugPrint, DebugPrintMasked) and
// keep a new LastCOM in the process-wide settings, which the exit sequence saves.
DumpConversationOptions program_dump_options();

}  // namespace kestrun
