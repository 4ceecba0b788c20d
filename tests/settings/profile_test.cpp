#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kestrun {
namespace {

using testing::read_bytes;
using testing::TempDir;
using testing::write_bytes;

std::vector<uint8_t> bytes_of(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> utf16le_with_bom(std::string_view ascii) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char c : ascii) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

TEST(Profile, NewFileIsUtf16LeWithByteOrderMarkAndCrLf) {
    TempDir dir;
    const std::string path = dir.file("Watch.ini");
    ASSERT_EQ(write_profile_string(path, "Main", "Key", "Value"), 0);
    EXPECT_EQ(read_bytes(path), utf16le_with_bom("[Main]\r\nKey=Value\r\n"));
}

TEST(Profile, NonAsciiTextSurvivesUtf16RoundTrip) {
    TempDir dir;
    const std::string path = dir.file("Watch.ini");
    ASSERT_EQ(write_profile_string(path, "user", "DataPath", "/home/jürgen/Läufe €"), 0);
    std::string value;
    ASSERT_EQ(read_profile_string(path, "user", "DataPath", value), 0);
    EXPECT_EQ(value, "/home/jürgen/Läufe €");
}

TEST(Profile, NamesCompareWithoutCaseAndEmptyValuesReadAsAbsent) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    write_bytes(path, utf16le_with_bom("[Dorivore Viri Zevuzer Settings]\r\n"
                                       "  VSPort = 9 \r\n"
                                       "Empty=\r\n"
                                       "Quoted=\"  spaced  \"\r\n"
                                       "; comment=1\r\n"));
    struct Case {
        const char* section;
        const char* key;
        int result;
        const char* value;
    } cases[] = {
        {"dorivore viri zevuzer settings", "vsport", 0, "9"},
        {"DORIVORE VIRI ZEVUZER SETTINGS", "VSPORT", 0, "9"},
        {"Dorivore Viri Zevuzer Settings", "Empty", -1, "untouched"},
        {"Dorivore Viri Zevuzer Settings", "Missing", -1, "untouched"},
        {"Other", "VSPort", -1, "untouched"},
        {"Dorivore Viri Zevuzer Settings", "Quoted", 0, "  spaced  "},
        {"Dorivore Viri Zevuzer Settings", "; comment", -1, "untouched"},
    };
    for (const Case& c : cases) {
        std::string value = "untouched";
        EXPECT_EQ(read_profile_string(path, c.section, c.key, value), c.result) << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
}

TEST(Profile, ReadCutsValueToBufferSize) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    ASSERT_EQ(write_profile_string(path, "S", "K", std::string(300, 'x')), 0);
    std::string value;
    ASSERT_EQ(read_profile_string(path, "S", "K", value), 0);
    EXPECT_EQ(value.size(), 259u);
    ASSERT_EQ(read_profile_string(path, "S", "K", value, 5), 0);
    EXPECT_EQ(value, "xxxx");
}

TEST(Profile, WriteReplacesInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    write_bytes(path,
                utf16le_with_bom("; kept comment\r\n[One]\r\nA=1\r\nB=2\r\n\r\n[Two]\r\nC=3\r\n"));
    ASSERT_EQ(write_profile_string(path, "one", "a", "10"), 0);
    ASSERT_EQ(write_profile_string(path, "One", "New", "x"), 0);
    ASSERT_EQ(write_profile_string(path, "Three", "D", "4"), 0);
    EXPECT_EQ(
        read_bytes(path),
        utf16le_with_bom("; kept comment\r\n[One]\r\na=10\r\nB=2\r\nNew=x\r\n\r\n[Two]\r\nC=3\r\n"
                         "[Three]\r\nD=4\r\n"));
}

TEST(Profile, WholeSectionWriteReplacesOnlyThatSection) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    write_bytes(path, utf16le_with_bom("[user]\r\nOld=1\r\nGone=2\r\n\r\n[Other]\r\nC=3\r\n"));
    ASSERT_EQ(write_profile_section(path, "USER", {{"Weight", "1540"}, {"GE", "2"}}), 0);
    std::vector<ProfileEntry> entries;
    ASSERT_EQ(read_profile_section(path, "user", entries), 0);
    EXPECT_EQ(entries, (std::vector<ProfileEntry>{{"Weight", "1540"}, {"GE", "2"}}));
    std::string value;
    EXPECT_EQ(read_profile_string(path, "user", "Old", value), -1);
    EXPECT_EQ(read_profile_string(path, "Other", "C", value), 0);

    std::vector<std::string> names;
    ASSERT_EQ(list_profile_sections(path, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"user", "Other"}));
    EXPECT_EQ(list_profile_sections(dir.file("missing.ini"), names), -1);
}

TEST(Profile, EightBitFileIsReadAsWindows1252AndKeepsItsEncoding) {
    TempDir dir;
    const std::string path = dir.file("de.ini");
    write_bytes(path, bytes_of("[String]\n0001=218,Nachricht f\xFCr Sie\n"));
    std::string value;
    ASSERT_EQ(read_profile_string(path, "String", "0001", value), 0);
    EXPECT_EQ(value, "218,Nachricht für Sie");
    ASSERT_EQ(write_profile_string(path, "Watch", "ID", "0000ABCD"), 0);
    EXPECT_EQ(read_bytes(path),
              bytes_of("[String]\r\n0001=218,Nachricht f\xFCr Sie\r\n[Watch]\r\nID=0000ABCD\r\n"));
}

TEST(Profile, RefusesKeysAndValuesThatWouldBreakTheFile) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    EXPECT_EQ(write_profile_string(path, "S", "K", "two\r\nlines"), -1);
    EXPECT_EQ(write_profile_string(path, "S", "K=V", "x"), -1);
    EXPECT_EQ(write_profile_string(path, "S", "", "x"), -1);
    EXPECT_FALSE(testing::file_exists(path));
}

TEST(Profile, EmptyProfileIsTheByteOrderMarkAlone) {
    TempDir dir;
    const std::string path = dir.file("Watch.ini");
    ASSERT_EQ(write_profile_string(path, "S", "K", "V"), 0);
    ASSERT_EQ(create_empty_profile(path), 0);
    EXPECT_EQ(read_bytes(path), (std::vector<uint8_t>{0xFF, 0xFE}));
    ASSERT_EQ(write_profile_string(path, "S", "K", "V"), 0);
    EXPECT_EQ(read_bytes(path), utf16le_with_bom("[S]\r\nK=V\r\n"));
}

}  // namespace
}  // namespace kestrun
