#include "export/kml_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "export/kml_template.h"
#include "export/kml_text.h"
#include "export/point_distance.h"
#include "export/template_lines.h"
#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/formatting.h"
#include "workout/local_time.h"
#include "workout/statistics.h"
#include "workout/value_rules.h"

namespace kestrun {
namespace {

constexpr std::string_view kNameTag = "<!-- tag1,filename -->";
constexpr std::string_view kLineColorTag = "<!-- tag1b,linecolor -->";
constexpr std::string_view kCoordinatesTag = "<!-- tag1,LngLat -->";
constexpr std::string_view kStartTag = "<!-- tag2,Start Placemark-->";
constexpr std::string_view kFinishTag = "<!-- tag3,Finish Placemark-->";
constexpr const char* kStyleNames[] = {"NoFromTo_PushPin", "msn_placemark_circle", "man_marker",
                                       "flag_marker"};
constexpr int kStartStyle = 2;
constexpr int kFinishStyle = 3;
constexpr std::size_t kChunkSize = 1 << 16;

std::string format(const char* fmt, auto... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}

// Appends "\t\t\t\t%.7lf,%.7lf,%d" without printf's per-call cost: a million points are common.
void append_coordinate_line(std::string& out, const TrackPoint& p) {
    char buffer[96] = "\t\t\t\t";
    char* at = buffer + 4;
    char* end = buffer + sizeof buffer;
    at = std::to_chars(at, end, p.longitude() / 10000000.0, std::chars_format::fixed, 7).ptr;
    *at++ = ',';
    at = std::to_chars(at, end, p.latitude() / 10000000.0, std::chars_format::fixed, 7).ptr;
    *at++ = ',';
    at = std::to_chars(at, end, int{p.altitude()}).ptr;
    out.append(buffer, at);
}

// The span from the track's first point, within the day; a span that runs backwards or a time
// that is not a date reads 00:00:00.
std::string elapsed_text(const TrackPoint& point, const TrackPoint& start) {
    int64_t span = 0;
    if (has_valid_datetime(point) && has_valid_datetime(start)) {
        span =
            seconds_since_2000(point_datetime(point)) - seconds_since_2000(point_datetime(start));
    }
    span = std::max<int64_t>(span, 0);
    return format("%02u:%02u:%02u", static_cast<unsigned>(span / 3600 % 24),
                  static_cast<unsigned>(span / 60 % 60), static_cast<unsigned>(span % 60));
}

std::string position_line(const TrackPoint& p, int style) {
    double lon = p.longitude() / 10000000.0;
    double lat = p.latitude() / 10000000.0;
    return format(
        "<LookAt><longitude>%.8f</longitude><latitude>%.8f</latitude><altitude>0</altitude>"
        "<range>637</range><tilt>0</tilt><heading>0</heading><altitudeMode>relativeToGround"
        "</altitudeMode><gx:altitudeMode>relativeToSeaFloor</gx:altitudeMode></LookAt>"
        "<styleUrl>#%s</styleUrl><Point><coordinates>%.8f,%.8f,0</coordinates></Point>"
        "</Placemark>",
        lon, lat, kStyleNames[style], lon, lat);
}

std::string row(const std::string& label, const std::string& value, bool colon = true) {
    return "<tr><td>" + cdata_text(label) + "</td><td>" + (colon ? ":" : "") + "</td><td>" +
           cdata_text(value) + "</td></tr>";
}

std::string description_line(const TrackPoint& p, const std::string& elapsed, uint32_t distance,
                             bool has_heart_rate, const UnitSystem& units) {
    std::string line =
        "<description><![CDATA[<table border=\"0\" width=\"250\"><tr><td width=\"50%\">"
        "<font face=\"Arial\" size=5><b>" +
        cdata_text(elapsed) +
        "</b></td><td></td><td></td></tr><tr><td></td><td></td><td></td></tr>";
    line += row(GetText(kStrDistance) + distance_unit_label(true, units),
                format_distance_2(distance, units));
    line += row(GetText(kStrPace) + pace_unit_label(true, units), format_pace(p.speed(), units));
    line += row(GetText(kStrSpeed) + speed_unit_label(true, units),
                format_point_speed_2(p.speed(), units));
    line += row(GetText(kStrAltitude) + altitude_unit_label(true, units),
                format_altitude(p.altitude(), units));
    if (has_heart_rate) {
        line += row(GetText(kStrHeartRate), is_valid_heart_rate(p.heart_rate())
                                                ? std::to_string(p.heart_rate())
                                                : std::string("---"));
    }
    line += row("", "", false);
    line += row(GetText(kStrTime), point_local_time(p, units.time_zone_offset));
    line += "]]></description>";
    return line;
}

uint32_t clamp_distance(uint64_t sum) {
    return static_cast<uint32_t>(std::min<uint64_t>(sum, UINT32_MAX));
}

}  // namespace

std::string kml_document_name(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    // The name is the workout's name with its ".kml" added, and the text from the workout name's
    // own last "." on is cut as well: "run 5.5k.kml" is the document "run 5".
    if (name.size() >= 4) {
        std::string ext = name.substr(name.size() - 4);
        for (char& c : ext)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (ext == ".kml")
            name.resize(name.size() - 4);
    }
    auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

int write_workout_kml(const TrackLog* track, const std::string& path, const KmlOptions& options,
                      const KmlUser& user) {
    if (!track || path.empty() || track->empty())
        return kKmlNoTrack;
    const auto& points = track->points();
    bool has_heart_rate = false;
    bool any_position = false;
    for (const TrackPoint& p : points) {
        has_heart_rate = has_heart_rate || is_valid_heart_rate(p.heart_rate());
        any_position = any_position || has_position(p);
    }
    if (!any_position)
        return kKmlNoPosition;

    KmlOptions own = options;
    own.thin_by_distance = 1;
    const UnitSystem& units = user.units;

    TemplateLines lines;
    load_template_lines(kKmlTemplateId, lines);
    if (!replace_template_tag(
            lines, kNameTag,
            {"<Document><name>" + xml_text(kml_document_name(path)) + "</name>"})) {
        return kKmlWritten;
    }
    if (!replace_template_tag(
            lines, kLineColorTag,
            {format("<Style id=\"lineStyle\"><LineStyle><color>%08x</color><width>%d</width>"
                    "</LineStyle></Style>",
                    own.line_color | 0xFF000000u, own.line_width)})) {
        return kKmlWritten;
    }

    const int64_t first = first_fixed_point(track);
    const int64_t last = last_positioned_point(track);
    const TrackPoint& start_point = points.front();

    // The minimum distance is in feet when the distance unit is not kilometres.
    double min_metres = own.min_distance;
    if (units.distance_unit != 0)
        min_metres *= kKmlFeetToMetres;
    const double threshold_dm = 10.0 * min_metres;
    const bool thin = own.thin_by_distance != 0 && !user.raw_positions;

    // The coordinates are written straight into the file when it is written: a track of a
    // million points never sits in memory as text.
    const int64_t coordinates_index = find_template_line(&lines, kCoordinatesTag);
    auto write_coordinates = [&](const TextSink& sink) {
        std::string chunk;
        chunk.reserve(kChunkSize + 128);
        const TrackPoint* last_written = nullptr;
        const int64_t final_index = static_cast<int64_t>(points.size()) - 1;
        for (int64_t i = 0; i <= final_index; ++i) {
            const TrackPoint& p = points[static_cast<std::size_t>(i)];
            if (!has_position(p))
                continue;
            if (last_written && thin && i != 0 && i != final_index && i != first && i != last &&
                point_distance_dm(last_written->longitude(), last_written->latitude(),
                                  p.longitude(), p.latitude()) < threshold_dm) {
                continue;
            }
            if (last_written)
                chunk += "\r\n";
            append_coordinate_line(chunk, p);
            last_written = &p;
            if (chunk.size() >= kChunkSize) {
                sink(chunk);
                chunk.clear();
            }
        }
        sink(chunk);
    };

    // A placemark whose point has no valid date-time gets no description (its texts need the
    // time) but keeps its position line, which also closes the element.
    std::vector<std::string> start_lines;
    uint64_t distance = 0;
    for (int64_t i = 0; i < last; ++i) {
        const TrackPoint& p = points[static_cast<std::size_t>(i)];
        if (has_position(p))
            distance += p.step_distance();
        if (i != first)
            continue;
        start_lines.push_back("<Placemark><name>[" +
                              xml_text(point_local_time(p, units.time_zone_offset)) + "]</name>");
        if (has_valid_datetime(p)) {
            start_lines.push_back(description_line(
                p, elapsed_text(p, start_point), clamp_distance(distance), has_heart_rate, units));
        }
        start_lines.push_back(position_line(p, kStartStyle));
        break;
    }
    replace_template_tag(lines, kStartTag, std::move(start_lines));

    std::vector<std::string> finish_lines;
    if (last >= 0) {
        distance = 0;
        for (int64_t i = 0; i <= last; ++i) {
            const TrackPoint& p = points[static_cast<std::size_t>(i)];
            if (has_position(p))
                distance += p.step_distance();
        }
        const TrackPoint& p = points[static_cast<std::size_t>(last)];
        const std::string elapsed = has_valid_datetime(p) ? elapsed_text(p, start_point) : "";
        finish_lines.push_back("<Placemark><name>" +
                               xml_text(elapsed + "  (" +
                                        format_distance_2(clamp_distance(distance), units) + " " +
                                        distance_unit_word(units) + ")") +
                               "</name>");
        if (has_valid_datetime(p)) {
            finish_lines.push_back(
                description_line(p, elapsed, clamp_distance(distance), has_heart_rate, units));
        }
        finish_lines.push_back(position_line(p, kFinishStyle));
    }
    replace_template_tag(lines, kFinishTag, std::move(finish_lines));

    // The placemark lines replaced their tags after the coordinates' tag, so its index holds.
    return write_template_lines_streaming(path, &lines, coordinates_index, write_coordinates) == 0
               ? kKmlWritten
               : kKmlCannotWrite;
}

}  // namespace kestrun
