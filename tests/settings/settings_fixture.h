#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "settings/language.h"
#include "settings/library_state.h"
#include "support/temp_dir.h"

namespace kestrun::testing {

// Points the program folder, the registry store, the time zone and the XDG folders into a fresh
// temporary folder, and puts the process-wide settings state back to its start.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        set("KESTRUN_PROGRAM_DIR", dir_.file("prog"));
        set("KESTRUN_REGISTRY", dir_.file("registry.ini"));
        set("HOME", dir_.file("home"));
        set("XDG_CONFIG_HOME", dir_.file("config"));
        set("XDG_DATA_HOME", dir_.file("data"));
        set("TZ", "UTC0");
        std::filesystem::create_directories(dir_.file("prog"));
        UseBuiltInEnglish();
        library_state().set_paths(LibraryPaths{});
    }

    void TearDown() override {
        UseBuiltInEnglish();
        library_state().set_paths(LibraryPaths{});
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        ::tzset();
    }

    void set(const std::string& name, const std::string& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        ::setenv(name.c_str(), value.c_str(), 1);
        if (name == "TZ")
            ::tzset();
    }

    std::string program_dir() const { return dir_.file("prog"); }
    std::string watch_ini() const { return dir_.file("prog/Watch.ini"); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace kestrun::testing
