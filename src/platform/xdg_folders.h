#pragma once

#include <string>

namespace kestrun {

// The user's home folder ($HOME, else the password database), without a trailing slash.
std::string home_folder();
// $XDG_CONFIG_HOME, default ~/.config.
std::string config_home_folder();
// "Common AppData": $XDG_DATA_HOME, default ~/.local/share.
std::string common_app_data_folder();
// "Personal": the XDG documents folder (XDG_DOCUMENTS_DIR of user-dirs.dirs), else $HOME.
std::string documents_folder();

}  // namespace kestrun
