#include "settings/kml_options.h"

#include "settings/settings_ini.h"

namespace kestrun {

void kml_options_to_user_units(KmlOptions& options, const UnitSystem& units) {
    if (units.distance_unit == 0)
        return;
    options.split_distance *= kKmlKilometresToMiles;
    options.min_distance *= kKmlMetresToFeet;
}

void kml_options_to_stored_units(KmlOptions& options, const UnitSystem& units) {
    if (units.distance_unit == 0)
        return;
    options.split_distance /= kKmlKilometresToMiles;
    options.min_distance *= kKmlFeetToMetres;
}

}  // namespace kestrun

namespace kestrun {

KmlOptions LoadKmlOptions(const std::string& user, const UnitSystem& units) {
    KmlOptions options;
    std::string text;
    int32_t number = 0;
    if (read_section_text(user, "KML_LineColor", text) == 0)
        parse_hex(text, options.line_color);
    if (read_section_number(user, "KML_ShowDataPoints", number) == 0)
        options.show_data_points = number;
    if (read_section_number(user, "KML_ShowLapInfo", number) == 0)
        options.show_lap_info = number;
    if (read_section_number(user, "KML_ShowSplitMarker", number) == 0)
        options.show_split_markers = number;
    if (read_section_text(user, "KML_SplitDistKM", text) == 0)
        parse_double(text, options.split_distance);
    if (read_section_number(user, "KML_Linewidth", number) == 0)
        options.line_width = number;
    if (read_section_text(user, "KML_MinDistance", text) == 0)
        parse_double(text, options.min_distance);
    kml_options_to_user_units(options, units);
    return options;
}

void SaveKmlOptions(const std::string& user, const KmlOptions& options, const UnitSystem& units) {
    if (user.empty())
        return;
    KmlOptions stored = options;
    kml_options_to_stored_units(stored, units);
    write_profile_strings(settings_file_path(), user,
                          {{"KML_LineColor", format_text("%08X", stored.line_color)},
                           {"KML_ShowDataPoints", format_text("%d", stored.show_data_points)},
                           {"KML_ShowLapInfo", format_text("%d", stored.show_lap_info)},
                           {"KML_ShowSplitMarker", format_text("%d", stored.show_split_markers)},
                           {"KML_SplitDistKM", format_text("%.1f", stored.split_distance)},
                           {"KML_MinDistance", format_text("%.1f", stored.min_distance)},
                           {"KML_Linewidth", format_text("%d", stored.line_width)}});
}

}  // namespace kestrun
