#include "settings/current_settings.h"

#include <mutex>

namespace kestrun {

namespace {

struct CurrentSettings {
    std::mutex mutex;
    UserProfile profile;
    UnitSystem units;
    KmlOptions kml;
    int last_com = -1;
    int smart_update = 1;
};

CurrentSettings& current() {
    static CurrentSettings state;
    return state;
}

}  // namespace

UserProfile current_user_profile() {
    std::lock_guard lock(current().mutex);
    return current().profile;
}

void set_current_user_profile(UserProfile profile) {
    std::lock_guard lock(current().mutex);
    current().profile = std::move(profile);
}

UnitSystem current_unit_system() {
    std::lock_guard lock(current().mutex);
    return current().units;
}

void set_current_unit_system(UnitSystem units) {
    std::lock_guard lock(current().mutex);
    current().units = units;
}

KmlOptions current_kml_options() {
    std::lock_guard lock(current().mutex);
    return current().kml;
}

void set_current_kml_options(KmlOptions options) {
    std::lock_guard lock(current().mutex);
    current().kml = options;
}

int last_com_port() {
    std::lock_guard lock(current().mutex);
    return current().last_com;
}

void set_last_com_port(int port) {
    std::lock_guard lock(current().mutex);
    current().last_com = port;
}

int smart_update() {
    std::lock_guard lock(current().mutex);
    return current().smart_update;
}

void set_smart_update(int value) {
    std::lock_guard lock(current().mutex);
    current().smart_update = value;
}

}  // namespace kestrun
