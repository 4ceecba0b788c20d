#include "export/kml_text.h"

#include <gtest/gtest.h>

#include "export/point_distance.h"

namespace kestrun {
namespace {

TEST(KmlText, Utf8OfUtf16Units) {
    EXPECT_EQ(to_utf8(u"A\u00e9"), "A\xC3\xA9");
    EXPECT_EQ(to_utf8(u"\u0800"), "\xE0\xA0\x80");
    EXPECT_EQ(to_utf8(u"\u07FF\uFFFD"), "\xDF\xBF\xEF\xBF\xBD");
    // A surrogate pair is one character; a lone surrogate has no UTF-8 form.
    EXPECT_EQ(to_utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    const char16_t lone[] = {0xD800, u'x', 0};
    EXPECT_EQ(to_utf8(lone), "\xEF\xBF\xBDx");
}

TEST(KmlText, ElementTextAndCdata) {
    EXPECT_EQ(xml_text("Tom & Jerry <3> \"x\""), "Tom &amp; Jerry &lt;3&gt; \"x\"");
    EXPECT_EQ(xml_text(std::string("a\x01"
                                   "b\tc")),
              "a\xEF\xBF\xBD"
              "b\tc");
    EXPECT_EQ(xml_text("\xFF"), "\xEF\xBF\xBD");  // not UTF-8
    EXPECT_EQ(cdata_text("a]]>b<&"), "a]]]]><![CDATA[>b<&");
}

TEST(PointDistance, TenthsOfAMetre) {
    EXPECT_EQ(point_distance_dm(100000000, 500000000, 100000000, 500000000), 0);
    // 0.0001 degree of latitude is about 11.1 m.
    EXPECT_EQ(point_distance_dm(0, 500000000, 0, 500001000), 111);
    EXPECT_EQ(point_distance_dm(0, 500001000, 0, 500000000), 111);
    // A degree of longitude at 60 degrees north is about half of one at the equator (the
    // cosine comes from the same series, within a few tenths of a percent there).
    int32_t equator = point_distance_dm(0, 0, 10000, 0);
    int32_t north = point_distance_dm(0, 600000000, 10000, 600000000);
    EXPECT_NEAR(north * 2.0, equator, equator * 0.005);
    // Far apart the series leave their range; the result stays a distance.
    EXPECT_GE(point_distance_dm(-1800000000, 0, 1800000000, 0), 0);
}

}  // namespace
}  // namespace kestrun
