#include "settings/kml_options.h"

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
