#pragma once

#include <string>

#include "settings/app_settings.h"
#include "settings/kml_options.h"
#include "settings/unit_system.h"

// Process-wide copies of the settings that the file-system, export and link code read outside
// the main window: the current user's profile and units, the KML options, the last serial port
// and the smart-update flag. Reads and writes are whole-value copies under a lock.
namespace kestrun {

UserProfile current_user_profile();
void set_current_user_profile(UserProfile profile);

// The user's units and the time-zone offset, as the formatting routines read them.
UnitSystem current_unit_system();
void set_current_unit_system(UnitSystem units);

KmlOptions current_kml_options();
void set_current_kml_options(KmlOptions options);

// "LastCOM": the serial port number on which the watch last answered; -1 none.
int last_com_port();
void set_last_com_port(int port);

// "SmartUpdate": always 1 after a load.
int smart_update();
void set_smart_update(int value);

}  // namespace kestrun
