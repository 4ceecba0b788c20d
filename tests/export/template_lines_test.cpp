#include "export/template_lines.h"

#include <gtest/gtest.h>

#include "export/kml_fixtures.h"
#include "export/kml_template.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

using Lines = std::vector<std::string>;

TEST(TemplateLines, SkippedBlocksAndLineEnds) {
    struct Case {
        const char* text;
        Lines lines;
    } cases[] = {
        {"a\r\n<!-- do not gen into array\r\nhidden\r\n-->\r\nb\r\n", {"a", "b"}},
        {"a\r\n<!-- DO NOT GEN INTO ARRAY\r\nx\r\n--> \r\n-->\r\nb\r\n", {"a", "b"}},
        // Anything around the skip text makes it an ordinary line.
        {" <!-- DO NOT GEN INTO ARRAY\r\nb\r\n", {" <!-- DO NOT GEN INTO ARRAY", "b"}},
        {"<!-- tag1,filename -->\r\n", {"<!-- tag1,filename -->"}},
        {"a\r\nafter the last line end", {"a"}},
        {"a\nb\r\n", {"a\nb"}},  // only CR LF ends a line
        {"a\r\n\r\n", {"a", ""}},
    };
    for (const Case& c : cases) {
        TemplateLines lines;
        parse_template_text(c.text, lines);
        EXPECT_EQ(lines.lines, c.lines) << c.text;
    }
    TemplateLines zero;
    parse_template_text(std::string_view("a\r\nb\0c\r\n", 9), zero);
    EXPECT_EQ(zero.lines, (Lines{"a"}));
}

TEST(TemplateLines, FindAndReplaceTags) {
    TemplateLines lines;
    lines.lines = {"head", "x <!-- tag --> y", "<!-- tag -->", "tail"};
    EXPECT_EQ(find_template_line(&lines, "<!-- tag -->"), 1);
    EXPECT_EQ(find_template_line(&lines, "<!-- TAG -->"), -1);  // case-sensitive
    EXPECT_EQ(find_template_line(nullptr, "head"), -1);

    EXPECT_TRUE(replace_template_tag(lines, "<!-- tag -->", {"1", "2", "3"}));
    EXPECT_EQ(lines.lines, (Lines{"head", "1", "2", "3", "<!-- tag -->", "tail"}));
    EXPECT_TRUE(replace_template_tag(lines, "<!-- tag -->", {}));
    EXPECT_EQ(lines.lines, (Lines{"head", "1", "2", "3", "tail"}));
    EXPECT_FALSE(replace_template_tag(lines, "<!-- tag -->", {"x"}));
}

TEST(TemplateLines, CompiledTemplateHasItsTagsInOrder) {
    TemplateLines lines;
    ASSERT_EQ(load_template_lines(kKmlTemplateId, lines), 0);
    EXPECT_EQ(load_template_lines(1, lines), -1);
    ASSERT_EQ(load_template_lines(kKmlTemplateId, lines), 0);
    const Lines& l = lines.lines;
    ASSERT_GT(l.size(), 20u);
    EXPECT_EQ(l[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_EQ(l[1].rfind("<kml xmlns=\"http://www.opengis.net/kml/2.2\"", 0), 0u);
    EXPECT_EQ(l[2], "<!-- tag1,filename -->");
    EXPECT_EQ(l[3], "<description></description>");
    EXPECT_EQ(l[4], "<!-- tag1b,linecolor -->");
    EXPECT_EQ(l[8], "<coordinates>");
    EXPECT_EQ(l[9], "<!-- tag1,LngLat -->");
    EXPECT_EQ(l[10], "</coordinates>");
    int64_t start = find_template_line(&lines, "<!-- tag2,Start Placemark-->");
    EXPECT_EQ(l[static_cast<std::size_t>(start) + 1], "<!-- tag3,Finish Placemark-->");
    EXPECT_EQ(l[static_cast<std::size_t>(start) + 2], "</Document></kml>");
    EXPECT_EQ(l.back(), "");
    for (const char* style : {"\"flag_marker\"", "\"man_marker\"", "\"lap_mark\"",
                              "\"Distance_mark\"", "\"msn_ylw-pushpin\"", "\"sh_ylw-pushpin\"",
                              "\"NoFromTo_PushPin\"", "\"sn_placemark_circle\"",
                              "\"sh_placemark_circle_highlight\"", "\"msn_placemark_circle\""}) {
        EXPECT_GE(find_template_line(&lines, std::string("id=") + style), 0) << style;
    }
    EXPECT_EQ(find_template_line(&lines, "DO NOT GEN"), -1);
}

TEST(TemplateLines, WriteEndsEveryLineWithCrLf) {
    kestrun::testing::TempDir dir;
    TemplateLines lines;
    lines.lines = {"a", "", "\xC3\xA9"};
    EXPECT_EQ(write_template_lines(dir.file("t.kml"), &lines), 0);
    EXPECT_EQ(kestrun::testing::read_bytes(dir.file("t.kml")),
              (std::vector<uint8_t>{'a', '\r', '\n', '\r', '\n', 0xC3, 0xA9, '\r', '\n'}));
    EXPECT_EQ(write_template_lines("", &lines), -1);
    EXPECT_EQ(write_template_lines(dir.file("u.kml"), nullptr), -1);
    EXPECT_EQ(write_template_lines(dir.file("missing/folder/t.kml"), &lines), -2);
}

}  // namespace
}  // namespace kestrun
