#include "scenario.h"

#include <gtest/gtest.h>

#include "clip_device.h"
#include "support/temp_dir.h"

namespace kestrun::clipsim {
namespace {

TEST(Scenario, LaysOutDirectoryEntriesAndLapBlocksAsTheStopwatchDoes) {
    std::string error;
    const Scenario scenario = parse_scenario(
        "id 4B 53 01 07  # the clip\n"
        "session 2011-02-07 08:25:50 slot 2 number 1234 blocks 1\n"
        "lap 1:02:03.45\n"
        "lap 1:02:04.00\n",
        error);
    ASSERT_EQ(error, "");
    const MemoryImage image = build_image(scenario, error);
    ASSERT_EQ(error, "");
    const std::vector<uint8_t> entry(image.begin() + 32, image.begin() + 44);
    // Number 1234 and 2 laps in BCD low byte first, day, month, year, second, minute, hour, block.
    EXPECT_EQ(entry, (std::vector<uint8_t>{0x34, 0x12, 0x02, 0x00, 0x07, 0x02, 0x11, 0x50, 0x25,
                                           0x08, 0x40, 0x06}));
    EXPECT_EQ(image[0], 0xFF);
    EXPECT_EQ(image[1], 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 12, image.begin() + 16),
              (std::vector<uint8_t>{0x4B, 0x53, 0x01, 0x07}));
    // Two chained blocks of one lap: next address, count, lap (hundredths first).
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 0x640, image.begin() + 0x650),
              (std::vector<uint8_t>{0x48, 0x06, 0x01, 0x00, 0x45, 0x03, 0x02, 0x01, 0x00, 0x00,
                                    0x01, 0x00, 0x00, 0x04, 0x02, 0x01}));
}

TEST(Scenario, RefusesWhatItCannotBuild) {
    struct Case {
        const char* text;
        const char* error_start;
    };
    const Case cases[] = {
        {"lap 0:00:01.00\n", "line 1: lap before any session"},
        {"session 2011-02-07\n", "line 1: session needs"},
        {"session 2011-02-07 08:00:00 slot 99\n", "line 1: slot must be"},
        {"session 2011-02-07 08:00:00\nlap 0:61:00.00\n", "line 2: time must be"},
        {"session 2011-02-07 08:00:00\nlaps 2 23:00:00.00\n", "line 2: laps run past"},
        {"id 4B 53\n", "line 1: id needs"},
        {"sesion 2011-02-07 08:00:00\n", "line 1: unknown word"},
    };
    for (const Case& c : cases) {
        std::string error;
        parse_scenario(c.text, error);
        EXPECT_EQ(error.rfind(c.error_start, 0), 0u) << c.text << " gave " << error;
    }
    std::string error;
    const Scenario too_big =
        parse_scenario("session 2011-02-07 08:00:00\nlaps 2000 0:00:01.00\n", error);
    ASSERT_EQ(error, "");
    build_image(too_big, error);
    EXPECT_NE(error, "");
}

TEST(ClipFaults, ParseAsKindAtReportNumber) {
    EXPECT_EQ(parse_fault("silent@3")->kind, FaultKind::kSilent);
    EXPECT_EQ(parse_fault("unplug@12")->report_number, 12);
    for (const char* bad : {"silent", "silent@", "silent@0", "loud@3", "late@3x"})
        EXPECT_FALSE(parse_fault(bad).has_value()) << bad;
}

}  // namespace
}  // namespace kestrun::clipsim
