#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

std::vector<uint8_t> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool file_exists(const std::string& path);
// A hex dump of both sides from the first difference on, for binary comparisons.
std::string hex_diff(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual);

}  // namespace kestrun::testing
