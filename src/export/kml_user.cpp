#include "export/kml_user.h"

#include "platform/registry_store.h"
#include "settings/current_settings.h"
#include "settings/settings_keys.h"

namespace kestrun {

KmlUser current_kml_user() {
    KmlUser user;
    user.units = current_unit_system();
    user.raw_positions = read_velmora_number("ShowRawLatLngInGE", 0) != 0;
    return user;
}

std::string google_earth_folder() {
    std::string app_path;
    RegKey(RegistryRoot::kCurrentUser, kGoogleEarthKey).query_text("AppPath", app_path);
    return google_earth_folder(app_path);
}

GoogleEarthSettings current_google_earth_settings() {
    return GoogleEarthSettings{google_earth_folder(), read_google_earth_warn_disable() != 0};
}

void save_google_earth_warning(const GoogleEarthSettings& settings) {
    write_google_earth_warn_disable(settings.warn_disabled ? 1 : 0);
}

}  // namespace kestrun
