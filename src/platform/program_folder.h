#pragma once

#include <string>
#include <string_view>

namespace kestrun {

// The folder of the running executable, without a trailing slash: Watch.ini, old.ini, Lang/ and
// HtmlHelp/ live there. The environment variable KESTRUN_PROGRAM_DIR overrides it.
std::string program_folder();

// program_folder() + "/" + name
std::string program_file_path(std::string_view name);

}  // namespace kestrun
