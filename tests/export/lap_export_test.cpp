#include "export/lap_export.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace kestrun {
namespace {

using kestrun::testing::hex_diff;
using kestrun::testing::read_bytes;

LapRecord lap(uint8_t h, uint8_t m, uint8_t s, uint8_t bcd) {
    LapRecord l;
    l.set_split(h, m, s, bcd);
    return l;
}

Workout workout_with(std::initializer_list<LapRecord> laps) {
    Workout w;
    w.summary.set_start(11, 2, 7, 8, 25, 50);
    for (const LapRecord& l : laps)
        w.add_lap(l);
    w.summary.set_lap_count(static_cast<uint8_t>(laps.size()));
    return w;
}

std::vector<uint8_t> utf16le_with_bom(const std::string& ascii) {
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    for (char c : ascii) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

class LapExportTest : public ::testing::Test {
protected:
    std::string written(const Workout& w) {
        std::string path = dir_.file("laps.csv");
        EXPECT_EQ(write_lap_csv(&w, path), kLapCsvWritten);
        std::vector<uint8_t> bytes = read_bytes(path);
        std::string text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char>(bytes[i]);
        return text;
    }
    kestrun::testing::TempDir dir_;
};

TEST_F(LapExportTest, WorkedExampleByteForByte) {
    Workout w = workout_with({lap(0, 5, 12, 0x34), lap(0, 10, 10, 0x44)});
    std::string path = dir_.file("laps.csv");
    ASSERT_EQ(write_lap_csv(&w, path), kLapCsvWritten);
    std::vector<uint8_t> expected = utf16le_with_bom(
        "\"Date\"\t\"2011/02/07 08:25:50\"\r\n"
        "\r\n"
        "\"Lap\"\t\"Lap Time\"\t\"Split Time\"\r\n"
        "\"1\"\t\"0:05:12.34\"\t\"0:05:12.34\"\r\n"
        "\"2\"\t\"0:04:58.10\"\t\"0:10:10.44\"\r\n"
        "\r\n"
        "\"Total time\"\t\"00:10:10.44\"\r\n"
        "\"Fast lap\"\t\"2 ( 04:58.10 )\"\r\n"
        "\"Avg. lap time\"\t\"00:05:05.22\"\r\n");
    std::vector<uint8_t> actual = read_bytes(path);
    EXPECT_EQ(actual, expected) << hex_diff(expected, actual);
}

TEST_F(LapExportTest, FastestLapTiesHoursAndClampedHundredths) {
    std::string equal = written(workout_with({lap(0, 1, 0, 0x00), lap(0, 2, 0, 0x00)}));
    EXPECT_NE(equal.find("\"Fast lap\"\t\"2 ( 01:00.00 )\""), std::string::npos);

    std::string hour = written(workout_with({lap(1, 0, 0, 0x00), lap(2, 0, 0, 0x01)}));
    EXPECT_NE(hour.find("\"Fast lap\"\t\"1 ( 01:00:00.00 )\""), std::string::npos);

    std::string short_form = written(workout_with({lap(0, 59, 59, 0x99), lap(2, 0, 0, 0x00)}));
    EXPECT_NE(short_form.find("\"Fast lap\"\t\"1 ( 59:59.99 )\""), std::string::npos);

    std::string clamped = written(workout_with({lap(0, 0, 1, 0x9A)}));
    EXPECT_NE(clamped.find("\"1\"\t\"0:00:01.99\"\t\"0:00:01.99\""), std::string::npos);
}

TEST_F(LapExportTest, WorkoutWithoutLapsHasNoTotals) {
    EXPECT_EQ(written(workout_with({})),
              "\"Date\"\t\"2011/02/07 08:25:50\"\r\n\r\n"
              "\"Lap\"\t\"Lap Time\"\t\"Split Time\"\r\n\r\n"
              "\"Total time\"\t\"---\"\r\n"
              "\"Fast lap\"\t\"---\"\r\n"
              "\"Avg. lap time\"\t\"---\"\r\n");
}

TEST_F(LapExportTest, ResultsAndTheExportCommand) {
    Workout w = workout_with({lap(0, 5, 12, 0x34)});
    EXPECT_EQ(write_lap_csv(nullptr, dir_.file("x.csv")), kLapCsvBadArguments);
    EXPECT_EQ(write_lap_csv(&w, ""), kLapCsvBadArguments);
    EXPECT_EQ(write_lap_csv(&w, dir_.file("none/x.csv")), kLapCsvCannotWrite);

    const std::string selected = dir_.file("20110207082550.tkl");
    kestrun::testing::write_bytes(selected, {1, 2, 3});
    EXPECT_EQ(export_proposed_name(selected), "20110207082550");

    EXPECT_EQ(export_workout_file(selected, dir_.file("out.CSV"), &w).csv_result, kLapCsvWritten);
    EXPECT_TRUE(kestrun::testing::file_exists(dir_.file("out.CSV")));

    LapExportResult txt = export_workout_file(selected, dir_.file("out.txt"), &w);
    EXPECT_EQ(txt.status_text_id, 0);
    EXPECT_FALSE(kestrun::testing::file_exists(dir_.file("out.txt")));

    kestrun::testing::write_bytes(dir_.file("copy.tkl"), {9});
    EXPECT_EQ(export_workout_file(selected, dir_.file("copy.tkl"), &w).status_text_id, 220);
    EXPECT_EQ(read_bytes(dir_.file("copy.tkl")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(export_workout_file(dir_.file("gone.tkl"), dir_.file("c2.tkl"), &w).status_text_id,
              221);

    const std::string summary_file = dir_.file("20110207082550.ss");
    kestrun::testing::write_bytes(summary_file, {1});
    EXPECT_EQ(export_workout_file(summary_file, dir_.file("ss.csv"), &w).csv_result, 1);
    EXPECT_FALSE(kestrun::testing::file_exists(dir_.file("ss.csv")));
}

}  // namespace
}  // namespace kestrun
