#include "platform/registry_store.h"
#include "settings/registry_switches.h"

#include <gtest/gtest.h>

#include "settings_fixture.h"

namespace kestrun {
namespace {

using RegistryStore = testing::SettingsTest;

TEST_F(RegistryStore, NumbersAreReadThroughTheElevenByteBuffer) {
    RegKey key(RegistryRoot::kCurrentUser, kVelmoraKey);
    struct Case {
        const char* stored;  // nullptr: the value is missing
        int expected;
    } cases[] = {
        {"1234", 1234}, {"0", 0},    {"-123", -123}, {"12345", 77},
        {"-1234", 77},  {"abc", 77}, {"12ab", 12},   {nullptr, 77},
    };
    for (const Case& c : cases) {
        if (c.stored) {
            ASSERT_TRUE(key.set_text("DebugLevel", c.stored));
        } else {
            ASSERT_TRUE(key.set_text("DebugLevel", ""));
        }
        EXPECT_EQ(read_velmora_number("DebugLevel", 77), c.expected)
            << (c.stored ? c.stored : "missing");
    }
}

TEST_F(RegistryStore, KeysAndNamesCompareWithoutCaseAndRootsAreSeparate) {
    ASSERT_TRUE(
        RegKey(RegistryRoot::kCurrentUser, "software\\velmora").set_number("PacketDump", 3));
    EXPECT_EQ(read_velmora_number("packetdump", 0), 3);
    int value = 0;
    EXPECT_FALSE(
        RegKey(RegistryRoot::kLocalMachine, kVelmoraKey).query_number("PacketDump", value));
}

TEST_F(RegistryStore, TextsLongerThanTheBufferReadAsMissing) {
    RegKey key(RegistryRoot::kCurrentUser, kVelmoraKey);
    std::string out = "default";
    ASSERT_TRUE(key.set_text("System Mode", std::string(259, 'a')));
    EXPECT_TRUE(key.query_text("System Mode", out));
    ASSERT_TRUE(key.set_text("System Mode", std::string(260, 'a')));
    out = "default";
    EXPECT_FALSE(key.query_text("System Mode", out));
    EXPECT_EQ(out, "default");
}

}  // namespace
}  // namespace kestrun

namespace kestrun {
namespace {

using RegistrySwitches = testing::SettingsTest;

TEST_F(RegistrySwitches, DefaultsAndTheirReadRules) {
    EXPECT_EQ(single_instance_switch(), 1);
    EXPECT_EQ(patch_start_time_switch(), 1);
    EXPECT_EQ(debug_level(), 0);
    int level = 7;
    EXPECT_FALSE(debug_level_present(level));
    EXPECT_FALSE(dump_ram_mode());

    RegKey key(RegistryRoot::kCurrentUser, kVelmoraKey);
    key.set_text("System Mode", "dump ram");
    EXPECT_TRUE(dump_ram_mode());
    key.set_number("DebugLevel", 0);
    EXPECT_TRUE(debug_level_present(level));
    EXPECT_EQ(level, 0);
}

TEST_F(RegistrySwitches, DiagnosticWindowRectangle) {
    struct Case {
        const char* stored;
        bool valid;
    } cases[] = {{"10,20,300,400", true},
                 {"-1,20,300,400", false},
                 {"10,20", false},
                 {"10,20,300,400,5", false},
                 {"", false}};
    RegKey key(RegistryRoot::kCurrentUser, kVelmoraKey);
    for (const Case& c : cases) {
        key.set_text("DebugWnd", c.stored);
        DebugWindowRect rect;
        EXPECT_EQ(read_debug_window_rect(rect), c.valid) << c.stored;
    }
    write_debug_window_rect({5, 6, 700, 800});
    DebugWindowRect rect;
    ASSERT_TRUE(read_debug_window_rect(rect));
    EXPECT_EQ(rect.top, 5);
    EXPECT_EQ(rect.bottom, 800);
}

}  // namespace
}  // namespace kestrun
