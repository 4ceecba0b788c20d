#include "export/kml_fixtures.h"

#include "support/temp_dir.h"

namespace kestrun::kml_testing {

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<uint8_t> bytes = kestrun::testing::read_bytes(path);
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
        lines.push_back(text.substr(from, at - from));
    }
    if (from != text.size())
        lines.push_back(text.substr(from));
    return lines;
}

}  // namespace kestrun::kml_testing
