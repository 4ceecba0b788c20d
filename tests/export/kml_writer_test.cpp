#include "export/kml_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "export/kml_fixtures.h"
#include "export/point_distance.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

using kml_testing::no_position;
using kml_testing::point;
using kml_testing::read_lines;
using kml_testing::track_of;
using Lines = std::vector<std::string>;

constexpr int32_t kLon = 100000000;  // 10 degrees east
constexpr int32_t kLat = 500000000;  // 50 degrees north

// The smallest northward offset (1e-7 degree) that point_distance_dm measures as `dm`.
int32_t offset_for_dm(int32_t dm) {
    int32_t d = 0;
    while (point_distance_dm(kLon, kLat, kLon, kLat + d) < dm)
        ++d;
    return d;
}

class KmlWriterTest : public ::testing::Test {
protected:
    Lines write(const TrackLog& track, const KmlOptions& options = {}, KmlUser user = {},
                const std::string& name = "run.kml") {
        std::string path = dir_.file(name);
        EXPECT_EQ(write_workout_kml(&track, path, options, user), kKmlWritten);
        return read_lines(path);
    }
    static Lines coordinates(const Lines& lines) {
        auto begin = std::find(lines.begin(), lines.end(), "<coordinates>");
        auto end = std::find(lines.begin(), lines.end(), "</coordinates>");
        return Lines(begin + 1, end);
    }
    static std::size_t count_starting(const Lines& lines, const std::string& prefix) {
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(),
                          [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    static std::size_t index_of(const Lines& lines, const std::string& prefix) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind(prefix, 0) == 0)
                return i;
        }
        return lines.size();
    }

    kestrun::testing::TempDir dir_;
};

std::string description(const std::string& elapsed, const std::string& distance,
                        const std::string& time, const std::string& heart_rate_row = "") {
    return "<description><![CDATA[<table border=\"0\" width=\"250\"><tr><td width=\"50%\"><font "
           "face=\"Arial\" size=5><b>" +
           elapsed +
           "</b></td><td></td><td></td></tr><tr><td></td><td></td><td></td></tr>"
           "<tr><td>Distance (km)</td><td>:</td><td>" +
           distance +
           "</td></tr><tr><td>Pace (min/km)</td><td>:</td><td>05:00</td></tr>"
           "<tr><td>Speed (km/h)</td><td>:</td><td>12.00</td></tr>"
           "<tr><td>Altitude (m)</td><td>:</td><td>120</td></tr>" +
           heart_rate_row + "<tr><td></td><td></td><td></td></tr><tr><td>Time</td><td>:</td><td>" +
           time + "</td></tr>]]></description>";
}

std::string position(const char* lon, const char* lat, const char* style) {
    return std::string("<LookAt><longitude>") + lon + "</longitude><latitude>" + lat +
           "</latitude><altitude>0</altitude><range>637</range><tilt>0</tilt><heading>0</heading>"
           "<altitudeMode>relativeToGround</altitudeMode><gx:altitudeMode>relativeToSeaFloor"
           "</gx:altitudeMode></LookAt><styleUrl>#" +
           style + "</styleUrl><Point><coordinates>" + lon + "," + lat +
           ",0</coordinates></Point></Placemark>";
}

TEST_F(KmlWriterTest, DocumentOfATwoPointTrack) {
    KmlUser user;
    user.units.time_zone_offset = 3600;
    Lines lines = write(track_of({point(kLon, kLat, 0), point(kLon + 10000, kLat, 90)}), {}, user,
                        "run 5.5k.kml");
    EXPECT_EQ(lines[2], "<Document><name>run 5</name>");
    EXPECT_EQ(lines[4],
              "<Style id=\"lineStyle\"><LineStyle><color>ffffff00</color><width>3</width>"
              "</LineStyle></Style>");
    EXPECT_EQ(coordinates(lines),
              (Lines{"\t\t\t\t10.0000000,50.0000000,120", "\t\t\t\t10.0010000,50.0000000,120"}));

    std::size_t start = index_of(lines, "<Placemark><name>[");
    ASSERT_LT(start + 5, lines.size());
    EXPECT_EQ(lines[start], "<Placemark><name>[09:00:00]</name>");
    EXPECT_EQ(lines[start + 1], description("00:00:00", "0.01", "09:00:00"));
    EXPECT_EQ(lines[start + 2], position("10.00000000", "50.00000000", "man_marker"));
    EXPECT_EQ(lines[start + 3], "<Placemark><name>00:01:30  (0.02 km)</name>");
    EXPECT_EQ(lines[start + 4], description("00:01:30", "0.02", "09:01:30"));
    EXPECT_EQ(lines[start + 5], position("10.00100000", "50.00000000", "flag_marker"));
    EXPECT_EQ(lines[start + 6], "</Document></kml>");
}

TEST_F(KmlWriterTest, ThinningKeepsTheEndsAndTheMarkedPoints) {
    const int32_t close = offset_for_dm(4);  // 0.4 m
    const int32_t exact = offset_for_dm(5);  // exactly the minimum of 0.5 m
    TrackPoint not_fixed = point(kLon, kLat);
    not_fixed.set_point_type(2);
    struct Case {
        const char* what;
        std::vector<TrackPoint> points;
        bool raw;
        std::size_t written;
    } cases[] = {
        {"close point skipped",
         {point(kLon, kLat), point(kLon, kLat + close), point(kLon, kLat + 9000),
          point(kLon, kLat + 9000 + close), point(kLon, kLat + 20000)},
         false,
         3},
        {"raw positions keep all",
         {point(kLon, kLat), point(kLon, kLat + close), point(kLon, kLat + 9000),
          point(kLon, kLat + 9000 + close), point(kLon, kLat + 20000)},
         true,
         5},
        {"exactly the minimum is written",
         {point(kLon, kLat), point(kLon, kLat + exact), point(kLon, kLat + 9000)},
         false,
         3},
        {"the last index is written", {point(kLon, kLat), point(kLon, kLat + close)}, false, 2},
        {"first fixed point is written",
         {not_fixed, point(kLon, kLat + close), point(kLon, kLat + 9000)},
         false,
         3},
        {"last positioned point is written",
         {point(kLon, kLat), point(kLon, kLat + close), no_position()},
         false,
         2},
        {"points without position never",
         {no_position(), point(kLon, kLat), no_position()},
         false,
         1},
    };
    for (const Case& c : cases) {
        KmlUser user;
        user.raw_positions = c.raw;
        EXPECT_EQ(coordinates(write(track_of(c.points), {}, user)).size(), c.written) << c.what;
    }
}

TEST_F(KmlWriterTest, MinimumDistanceInFeetIsConvertedBack) {
    KmlOptions options;
    options.min_distance = 3.281;  // one metre, in feet
    KmlUser miles;
    miles.units.distance_unit = 1;
    // Two metres apart: farther than one metre, closer than 3.281 metres.
    TrackLog track = track_of(
        {point(kLon, kLat), point(kLon, kLat + offset_for_dm(20)), point(kLon, kLat + 9000)});
    EXPECT_EQ(coordinates(write(track, options, miles)).size(), 3u);
    EXPECT_EQ(coordinates(write(track, options, KmlUser{})).size(), 2u);
}

TEST_F(KmlWriterTest, PlacemarksFollowTheFirstFixedAndLastPositionedPoints) {
    // Only one point has a position: a Finish placemark and no Start.
    Lines single = write(track_of({no_position(0), point(kLon, kLat, 5), no_position(9)}));
    EXPECT_EQ(coordinates(single).size(), 1u);
    EXPECT_EQ(count_starting(single, "<Placemark><name>["), 0u);
    EXPECT_EQ(count_starting(single, "<Placemark><name>00:00:05  ("), 1u);

    // No point of type 0: no Start, the Finish at the last of them.
    TrackPoint a = point(kLon, kLat, 0);
    TrackPoint b = point(kLon + 10000, kLat, 10);
    a.set_point_type(1);
    b.set_point_type(3);
    Lines unfixed = write(track_of({a, b}));
    EXPECT_EQ(count_starting(unfixed, "<Placemark><name>["), 0u);
    EXPECT_EQ(count_starting(unfixed, "<Placemark><name>00:00:10  (0.02 km)"), 1u);
}

TEST_F(KmlWriterTest, ColourHeartRateAndEscapedName) {
    KmlOptions options;
    options.line_color = 0x000000FF;
    options.line_width = 5;
    TrackPoint p0 = point(kLon, kLat, 0);
    TrackPoint p1 = point(kLon + 10000, kLat, 90);
    p0.set_heart_rate(29);
    p1.set_heart_rate(30);
    Lines lines = write(track_of({p0, p1}), options, {}, "Tom & Jerry <1>.kml");
    EXPECT_EQ(lines[2], "<Document><name>Tom &amp; Jerry &lt;1&gt;</name>");
    EXPECT_NE(lines[4].find("<color>ff0000ff</color><width>5</width>"), std::string::npos);
    std::size_t start = index_of(lines, "<Placemark><name>[");
    EXPECT_EQ(lines[start + 1], description("00:00:00", "0.01", "08:00:00",
                                            "<tr><td>Heart rate</td><td>:</td><td>---</td></tr>"));
    EXPECT_EQ(lines[start + 4], description("00:01:30", "0.02", "08:01:30",
                                            "<tr><td>Heart rate</td><td>:</td><td>30</td></tr>"));
}

TEST_F(KmlWriterTest, PlacemarkWithAnInvalidDateStaysClosed) {
    TrackPoint bad = point(kLon, kLat, 0);
    bad.set_datetime(11, 2, 30, 8, 0, 0);
    Lines lines = write(track_of({bad, point(kLon + 10000, kLat, 90)}));
    std::size_t start = index_of(lines, "<Placemark><name>[");
    EXPECT_EQ(lines[start], "<Placemark><name>[]</name>");
    EXPECT_EQ(lines[start + 1], position("10.00000000", "50.00000000", "man_marker"));

    Lines last = write(track_of({point(kLon, kLat, 0), bad}));
    std::size_t finish = index_of(last, "<Placemark><name>  (");
    ASSERT_LT(finish, last.size());
    EXPECT_EQ(last[finish + 1], position("10.00000000", "50.00000000", "flag_marker"));
}

TEST_F(KmlWriterTest, Results) {
    KmlOptions options;
    TrackLog empty;
    TrackLog unpositioned = track_of({no_position()});
    TrackLog fine = track_of({point(kLon, kLat)});
    EXPECT_EQ(write_workout_kml(nullptr, dir_.file("a.kml"), options, {}), kKmlNoTrack);
    EXPECT_EQ(write_workout_kml(&empty, dir_.file("a.kml"), options, {}), kKmlNoTrack);
    EXPECT_EQ(write_workout_kml(&fine, "", options, {}), kKmlNoTrack);
    EXPECT_EQ(write_workout_kml(&unpositioned, dir_.file("a.kml"), options, {}), kKmlNoPosition);
    EXPECT_FALSE(kestrun::testing::file_exists(dir_.file("a.kml")));
    EXPECT_EQ(write_workout_kml(&fine, dir_.file("no/such/a.kml"), options, {}), kKmlCannotWrite);
    EXPECT_EQ(kml_document_name("/data/plain"), "plain");
    EXPECT_EQ(kml_document_name("/data/plain.KML"), "plain");
    EXPECT_EQ(kml_document_name("/data/a.b"), "a");
}

}  // namespace
}  // namespace kestrun
