#pragma once

#include <string>
#include <string_view>

// The registry of the system, kept as one text store: the file registry.ini in
// $XDG_CONFIG_HOME/kestrun/ (KESTRUN_REGISTRY names another file), one section per key path such
// as "HKEY_CURRENT_USER\SOFTWARE\Velmora". The read rules are the registry's: values are texts
// (numbers as decimal text written with %d), a number is read through an 11-byte buffer of
// UTF-16 units with its terminator, a text through 260 units, and a value that is missing or
// does not fit gives the caller's default. Key paths and value names compare without regard to
// case. A key that was never written reads as empty; the first write creates it.
namespace kestrun {

enum class RegistryRoot { kCurrentUser, kUsers, kLocalMachine };

inline constexpr std::string_view kVelmoraKey = "SOFTWARE\\Velmora";
inline constexpr std::string_view kDefaultLanguageKey = ".DEFAULT\\Software\\Kestrun";
inline constexpr std::string_view kGoogleEarthKey =
    "Software\\Google\\Google Earth Plus\\autoupdate";

// The store's file.
std::string registry_store_path();

// One registry key, open for one access.
class RegKey {
public:
    RegKey(RegistryRoot root, std::string_view subkey);

    // The text of a value; false (and `out` untouched) when missing or longer than 259 units.
    bool query_text(std::string_view name, std::string& out) const;
    // A number read through the 11-byte buffer: false when missing, longer than four
    // characters, or not a decimal number at its start.
    bool query_number(std::string_view name, int& out) const;
    bool set_text(std::string_view name, std::string_view value) const;
    bool set_number(std::string_view name, int value) const;

    const std::string& section() const { return section_; }

private:
    std::string section_;
};

// A number of HKEY_CURRENT_USER\SOFTWARE\Velmora, or `fallback`.
int read_velmora_number(std::string_view name, int fallback);
// Present-or-absent form: true and the number when the value is present and readable.
bool read_velmora_number_present(std::string_view name, int& out);
// A text of HKEY_CURRENT_USER\SOFTWARE\Velmora, empty when missing.
std::string read_velmora_text(std::string_view name);

}  // namespace kestrun
