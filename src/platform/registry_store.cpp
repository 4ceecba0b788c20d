#include "platform/registry_store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/profile.h"
#include "platform/text_encoding.h"
#include "platform/xdg_folders.h"

namespace kestrun {

namespace {

constexpr std::size_t kNumberBufferBytes = 11;
constexpr std::size_t kTextBufferUnits = 260;

std::string_view root_name(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::kCurrentUser:
            return "HKEY_CURRENT_USER";
        case RegistryRoot::kUsers:
            return "HKEY_USERS";
        case RegistryRoot::kLocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "HKEY_CURRENT_USER";
}

// The raw text of a value, without the profile functions' length cut.
bool read_raw(const std::string& section, std::string_view name, std::string& out) {
    return read_profile_string(registry_store_path(), section, name, out, 1u << 20) == 0;
}

}  // namespace

std::string registry_store_path() {
    const char* overridden = std::getenv("KESTRUN_REGISTRY");
    if (overridden && *overridden)
        return overridden;
    return config_home_folder() + "/kestrun/registry.ini";
}

RegKey::RegKey(RegistryRoot root, std::string_view subkey)
    : section_(std::string(root_name(root)) + "\\" + std::string(subkey)) {}

bool RegKey::query_text(std::string_view name, std::string& out) const {
    std::string value;
    if (!read_raw(section_, name, value))
        return false;
    if (utf16_length(value) + 1 > kTextBufferUnits)
        return false;
    out = std::move(value);
    return true;
}

bool RegKey::query_number(std::string_view name, int& out) const {
    std::string value;
    if (!read_raw(section_, name, value))
        return false;
    // The value and its terminator as UTF-16 must fit the 11-byte buffer: four characters.
    if ((utf16_length(value) + 1) * 2 > kNumberBufferBytes)
        return false;
    char* end = nullptr;
    long number = std::strtol(value.c_str(), &end, 10);
    if (end == value.c_str())
        return false;
    out = static_cast<int>(number);
    return true;
}

bool RegKey::set_text(std::string_view name, std::string_view value) const {
    std::string store = registry_store_path();
    // The store's folder may not exist on a fresh machine.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(store).parent_path(), error);
    return write_profile_string(store, section_, name, value, ProfileEncoding::kUtf8) == 0;
}

bool RegKey::set_number(std::string_view name, int value) const {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return set_text(name, text);
}

int read_velmora_number(std::string_view name, int fallback) {
    int value = fallback;
    if (!RegKey(RegistryRoot::kCurrentUser, kVelmoraKey).query_number(name, value))
        return fallback;
    return value;
}

bool read_velmora_number_present(std::string_view name, int& out) {
    return RegKey(RegistryRoot::kCurrentUser, kVelmoraKey).query_number(name, out);
}

std::string read_velmora_text(std::string_view name) {
    std::string value;
    RegKey(RegistryRoot::kCurrentUser, kVelmoraKey).query_text(name, value);
    return value;
}

}  // namespace kestrun
