#pragma once

#include <cstdint>
#include <string>

#include "settings/unit_system.h"

namespace kestrun {

// The current user's KML options. The file stores kilometres and metres; in memory the two
// distances are in the user's units (miles and feet when the distance unit is not kilometres).
struct KmlOptions {
    uint32_t line_color = 0x00FFFF00;  // Windows colour 0x00BBGGRR
    int32_t show_data_points = 0;
    int32_t show_lap_info = 1;
    int32_t show_split_markers = 0;
    double split_distance = 1.0;   // in the user's distance unit
    int32_t line_width = 3;        // pixels
    double min_distance = 0.5;     // metres, or feet when the distance unit is not kilometres
    int32_t thin_by_distance = 0;  // not stored; the writer sets it in its own copy
};

inline constexpr double kKmlKilometresToMiles = 0.621369949495;
inline constexpr double kKmlMetresToFeet = 3.281;
inline constexpr double kKmlFeetToMetres = 0.30478512648582745;

// Stored (kilometres, metres) to the user's units: unchanged when the distance unit is kilometres.
void kml_options_to_user_units(KmlOptions& options, const UnitSystem& units);
// The user's units back to stored kilometres and metres, as a save does before writing.
void kml_options_to_stored_units(KmlOptions& options, const UnitSystem& units);

// The user's options from their section of Watch.ini, in the user's units.
KmlOptions LoadKmlOptions(const std::string& user, const UnitSystem& units);
// Writes the options into the user's section: colour "%08lX", distances "%.1lf" in kilometres
// and metres.
void SaveKmlOptions(const std::string& user, const KmlOptions& options, const UnitSystem& units);

}  // namespace kestrun
