#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include "export/kml_fixtures.h"
#include "export/kml_writer.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

using kml_testing::no_position;
using kml_testing::point;
using kml_testing::track_of;

// What a KML reader needs to show the track: the document parsed without an error, the
// Placemarks that were opened all closed, and the coordinates of the LineString.
struct ParsedKml {
    QString error;
    QString root_namespace;
    QString document_name;
    int placemarks = 0;
    int points = 0;
    QStringList placemark_names;
    QStringList descriptions;
};

ParsedKml parse(const std::string& path) {
    ParsedKml parsed;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        parsed.error = "cannot open";
        return parsed;
    }
    QXmlStreamReader xml(&file);
    QStringList open;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            if (open.isEmpty())
                parsed.root_namespace = xml.namespaceUri().toString();
            if (name == "Placemark")
                ++parsed.placemarks;
            if (name == "name" && open.endsWith("Document")) {
                parsed.document_name = xml.readElementText();
                continue;
            }
            if (name == "name" && open.endsWith("Placemark")) {
                parsed.placemark_names << xml.readElementText();
                continue;
            }
            if (name == "description") {
                parsed.descriptions << xml.readElementText();
                continue;
            }
            if (name == "coordinates" && open.endsWith("LineString")) {
                const QStringList tuples =
                    xml.readElementText().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
                for (const QString& tuple : tuples) {
                    if (tuple.split(',').size() == 3)
                        ++parsed.points;
                }
                continue;
            }
            open << name;
        } else if (xml.isEndElement()) {
            if (!open.isEmpty())
                open.removeLast();
        }
    }
    if (xml.hasError())
        parsed.error = xml.errorString();
    return parsed;
}

TEST(KmlXml, EveryDocumentParsesAndShowsItsTrack) {
    kestrun::testing::TempDir dir;
    TrackPoint invalid_date = point(100000000, 500000000, 0);
    invalid_date.set_datetime(11, 2, 30, 8, 0, 0);
    TrackPoint not_fixed = point(100010000, 500000000, 10);
    not_fixed.set_point_type(2);
    TrackPoint heart = point(100020000, 500000000, 20);
    heart.set_heart_rate(140);

    struct Case {
        const char* file;
        std::vector<TrackPoint> points;
        int placemarks;
        int coordinates;
        const char* document_name;
    } cases[] = {
        {"plain.kml",
         {point(100000000, 500000000, 0), point(100010000, 500000000, 60)},
         3,
         2,
         "plain"},
        {"Tom & Jerry <run>.kml",
         {point(100000000, 500000000, 0), heart},
         3,
         2,
         "Tom & Jerry <run>"},
        {"cdata ]]> name.kml", {heart, point(100030000, 500000000, 30)}, 3, 2, "cdata ]]> name"},
        {"invalid first.kml",
         {invalid_date, point(100010000, 500000000, 10)},
         3,
         2,
         "invalid first"},
        {"invalid last.kml", {point(100010000, 500000000, 10), invalid_date}, 3, 2, "invalid last"},
        {"only invalid.kml", {invalid_date}, 2, 1, "only invalid"},
        {"one position.kml",
         {no_position(0), point(100000000, 500000000, 5), no_position(9)},
         2,
         1,
         "one position"},
        {"unfixed.kml", {not_fixed, no_position(30)}, 2, 1, "unfixed"},
        {"\xC3\xA9t\xC3\xA9 \xE0\xA0\x80.kml",
         {point(100000000, 500000000, 0), point(100010000, 500000000, 5)},
         3,
         2,
         "\xC3\xA9t\xC3\xA9 \xE0\xA0\x80"},
        {"control \x01 char.kml",
         {point(100000000, 500000000, 0)},
         2,
         1,
         "control \xEF\xBF\xBD char"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir.file(c.file);
        KmlUser user;
        user.units.time_zone_offset = 3600;
        const TrackLog track = track_of(c.points);
        ASSERT_EQ(write_workout_kml(&track, path, KmlOptions{}, user), kKmlWritten);
        ParsedKml parsed = parse(path);
        EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
        EXPECT_EQ(parsed.root_namespace, "http://www.opengis.net/kml/2.2");
        EXPECT_EQ(parsed.document_name.toStdString(), c.document_name);
        EXPECT_EQ(parsed.placemarks, c.placemarks);
        EXPECT_EQ(parsed.points, c.coordinates);
    }
}

TEST(KmlXml, DescriptionsKeepLabelsThatLookLikeMarkup) {
    kestrun::testing::TempDir dir;
    const std::string path = dir.file("d.kml");
    TrackPoint heart = point(100000000, 500000000, 0);
    heart.set_heart_rate(140);
    const TrackLog track = track_of({heart, point(100010000, 500000000, 60)});
    ASSERT_EQ(write_workout_kml(&track, path, KmlOptions{}, KmlUser{}), kKmlWritten);
    ParsedKml parsed = parse(path);
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    ASSERT_EQ(parsed.descriptions.size(), 3);  // the document, Start, Finish
    EXPECT_TRUE(parsed.descriptions[1].contains("<td>Heart rate</td><td>:</td><td>140</td>"));
    ASSERT_EQ(parsed.placemark_names.size(), 3);  // the track, Start, Finish
    EXPECT_EQ(parsed.placemark_names[1], "[08:00:00]");
    EXPECT_TRUE(parsed.placemark_names[2].startsWith("00:01:00  ("));
}

}  // namespace
}  // namespace kestrun
