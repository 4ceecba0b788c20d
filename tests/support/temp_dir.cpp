#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kestrun::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrun-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

std::string hex_diff(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual) {
    std::size_t first = 0;
    while (first < expected.size() && first < actual.size() && expected[first] == actual[first])
        ++first;
    if (first == expected.size() && first == actual.size()) return "identical";
    std::ostringstream out;
    out << "sizes " << expected.size() << " (expected) and " << actual.size()
        << " (actual); first difference at offset " << first << "\n";
    std::size_t start = first & ~std::size_t{15};
    auto dump = [&](const char* label, const std::vector<uint8_t>& bytes) {
        out << label;
        for (std::size_t i = start; i < start + 48 && i < bytes.size(); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X ", bytes[i]);
            out << hex;
        }
        out << "\n";
    };
    out << "from offset " << start << ":\n";
    dump("expected: ", expected);
    dump("actual:   ", actual);
    return out.str();
}

}  // namespace kestrun::testing
