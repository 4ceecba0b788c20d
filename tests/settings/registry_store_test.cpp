#include "platform/registry_store.h"

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
