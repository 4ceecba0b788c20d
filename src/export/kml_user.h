#pragma once

#include "export/google_earth.h"
#include "export/kml_writer.h"

// The current user's values that the KML export and the Google Earth launch read from the
// settings and the registry store.
namespace kestrun {

// The user's units and time zone, and the "ShowRawLatLngInGE" switch.
KmlUser current_kml_user();
// The "AppPath" value of Google Earth's key; empty when Google Earth is not installed.
std::string google_earth_folder();
// "AppPath" and "GE_WarnDisable".
GoogleEarthSettings current_google_earth_settings();
// Stores "GE_WarnDisable" after a launch that warned.
void save_google_earth_warning(const GoogleEarthSettings& settings);

}  // namespace kestrun
