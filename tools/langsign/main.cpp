// kestrun-langsign: writes the checksum "ID" of section "Watch" into language files, so that a
// translator's work passes the program's checksum test; --check only verifies.
#include <cstdio>
#include <string>
#include <string_view>

#include "settings/language.h"

namespace {

void print_usage(std::FILE* to) {
    std::fputs(
        "usage: kestrun-langsign [--check] FILE...\n"
        "  Writes ID=<checksum> into section [Watch] of each language file (8-bit INI text).\n"
        "  --check  only verifies each file's ID; exit 1 when one does not match.\n",
        to);
}

}  // namespace

int main(int argc, char** argv) {
    bool check_only = false;
    int first = 1;
    if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        print_usage(stdout);
        return 0;
    }
    if (argc > 1 && std::string_view(argv[1]) == "--check") {
        check_only = true;
        first = 2;
    }
    if (first >= argc) {
        print_usage(stderr);
        return 1;
    }
    int status = 0;
    for (int i = first; i < argc; ++i) {
        const std::string path = argv[i];
        if (check_only) {
            uint32_t checksum = 0;
            bool readable = kestrun::language_file_checksum(path, checksum) == 0;
            // The switch "BypassLang" must not make a broken file look signed.
            bool valid = readable && kestrun::language_file_id_matches(path, checksum);
            std::printf("%s: %s\n", path.c_str(), valid ? "ok" : "ID does not match");
            if (!valid)
                status = 1;
            continue;
        }
        if (kestrun::sign_language_file(path) != 0) {
            std::fprintf(stderr, "%s: cannot be signed\n", path.c_str());
            status = 1;
            continue;
        }
        uint32_t checksum = 0;
        kestrun::language_file_checksum(path, checksum);
        std::printf("%s: ID=%08X\n", path.c_str(), checksum);
    }
    return status;
}
