#include "settings/data_path.h"

#include <filesystem>

#include "platform/text_encoding.h"
#include "settings/current_settings.h"
#include "settings/kml_options.h"
#include "settings/library_state.h"
#include "settings/settings_ini.h"
#include "settings/settings_store.h"

namespace kestrun {

namespace {

bool make_folder(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

}  // namespace

int CreateUserFolder(const std::string& user_name) {
    if (user_name.empty())
        return -1;
    LibraryPaths paths = library_state().paths();
    paths.user_name = user_name;
    const std::string folder = paths.user_folder();
    if (!make_folder(folder))
        return -2;
    if (!make_folder(folder + "/ActivityLib") || !make_folder(folder + "/PathLib"))
        return -2;
    return 0;
}

DataPathStart::DataPathStart(AppSettings& settings, bool program_start)
    : settings_(settings), program_start_(program_start) {}

bool DataPathStart::begin() {
    settings_.current_user = std::string(kUserName);
    library_state().set_user_name(settings_.current_user);
    std::error_code error;
    std::string user_folder = settings_.data_path + "/" + std::string(kUserName);
    if (std::filesystem::is_directory(user_folder, error)) {
        confirm();
        return false;
    }
    return true;
}

void DataPathStart::choose_data_path(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty())
        return;
    settings_.data_path = path;
    library_state().set_data_path(path);
    write_global_text("DataPath", path);
}

void DataPathStart::reset_to_default() {
    choose_data_path(default_data_path());
}

void DataPathStart::confirm() {
    const std::string user = utf8_prefix_units(kUserName, kUserNameLength);
    CreateUserFolder(user);
    settings_.current_user = user;
    library_state().set_user_name(user);
    confirmed_ = true;
    if (program_start_) {
        UserProfile profile = LoadUserProfile(user, library_state().user_folder());
        library_state().set_current_activity(profile.last_activity);
    }
}

void load_current_user(AppSettings& settings) {
    UserProfile profile = LoadUserProfile(settings.current_user, library_state().user_folder());
    set_current_user_profile(profile);
    derive_unit_fields(settings, profile);
    set_current_kml_options(LoadKmlOptions(settings.current_user, settings.unit_system()));
}

}  // namespace kestrun
