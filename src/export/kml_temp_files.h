#pragma once

#include <string>
#include <vector>

// The KML files written in this run; the program deletes them all when it ends.
namespace kestrun {

void add_kml_temp_file(const std::string& path);
std::vector<std::string> kml_temp_files();
// Deletes every listed file (errors ignored) and empties the list.
void delete_kml_temp_files();

}  // namespace kestrun
