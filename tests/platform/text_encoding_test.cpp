#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

TEST(TextEncoding, Utf16RoundTripKeepsSurrogatePairs) {
    std::string text =
        "Lauf \xC3\xBC"
        "ber 5 km \xF0\x9F\x8F\x83";  // "über", runner emoji
    std::u16string units = utf8_to_utf16(text);
    EXPECT_EQ(units.size(), 17u);
    EXPECT_EQ(utf16_to_utf8(units), text);
    EXPECT_EQ(utf16_length(text), 17u);
}

TEST(TextEncoding, MalformedUtf8BecomesReplacementCharacter) {
    EXPECT_EQ(utf8_to_utf16("a\xFF"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf8_to_utf16("\xE2\x82"), u"\uFFFD");  // cut sequence
}

TEST(TextEncoding, Utf16LeBytesStopAtZeroAndAtTheEnd) {
    const uint8_t bytes[] = {'H', 0, 'i', 0, 0, 0, 'x', 0};
    EXPECT_EQ(utf16le_bytes_to_utf8(bytes, sizeof bytes), "Hi");
    EXPECT_EQ(utf16le_bytes_to_utf8(bytes, 3), "H");  // an odd last byte is not half a unit
}

TEST(TextEncoding, WritingUtf16LeNeverCutsASurrogatePair) {
    uint8_t out[8] = {};
    EXPECT_EQ(utf8_to_utf16le_bytes("abc\xF0\x9F\x8F\x83", out, 4), 3u);
    EXPECT_EQ(out[6], 0);
    EXPECT_EQ(utf8_prefix_units("abc\xF0\x9F\x8F\x83", 4), "abc");
}

TEST(TextEncoding, Windows1252BothWays) {
    EXPECT_EQ(cp1252_to_utf8("\x80 \xE9"), "\xE2\x82\xAC \xC3\xA9");  // euro sign, e acute
    EXPECT_EQ(utf8_to_cp1252("\xE2\x82\xAC \xC3\xA9 \xE4\xB8\xAD"), "\x80 \xE9 ?");
}

}  // namespace
}  // namespace kestrun
