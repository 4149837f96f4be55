#include "stationinfo/Locator.h"

#include "core/Numeric.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel {

namespace {

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kRad = std::numbers::pi / 180.0;

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Position of c in the range first..last, or -1.
int place(char c, char first, char last) {
    c = upper(c);
    return c >= first && c <= last ? c - first : -1;
}

} // namespace

std::optional<GeoPoint> locatorCentre(std::string_view loc) {
    if (loc.size() != 4 && loc.size() != 6 && loc.size() != 8) return std::nullopt;
    // Each pair: longitude then latitude; the size of a square at each level, in degrees.
    struct Level {
        char first, last;
        double lonStep, latStep;
    };
    static constexpr Level kLevels[4] = {
        {'A', 'R', 20.0, 10.0},
        {'0', '9', 2.0, 1.0},
        {'A', 'X', 2.0 / 24, 1.0 / 24},
        {'0', '9', 2.0 / 240, 1.0 / 240},
    };
    double lon = -180.0;
    double lat = -90.0;
    const size_t levels = loc.size() / 2;
    for (size_t i = 0; i < levels; ++i) {
        const Level& l = kLevels[i];
        const int x = place(loc[2 * i], l.first, l.last);
        const int y = place(loc[2 * i + 1], l.first, l.last);
        if (x < 0 || y < 0) return std::nullopt;
        lon += x * l.lonStep;
        lat += y * l.latStep;
    }
    const Level& last = kLevels[levels - 1];
    return GeoPoint{lat + last.latStep / 2, lon + last.lonStep / 2};
}

std::string beamLocator(const LogTable& log, const std::string& typed, std::string_view call) {
    if (locatorCentre(typed)) return typed;
    if (call.empty()) return {};
    for (size_t r = log.rows.size(); r-- > 1;) {
        const LogRecord& row = log.rows[r];
        if (row[2] != call || !locatorCentre(row[15])) continue;
        std::string loc = row[15];
        for (char& c : loc)
            c = upper(c);
        return loc;
    }
    return {};
}

BeamInfo beamToPoint(std::string_view ownLatItem, std::string_view ownLongItem, GeoPoint to) {
    const double lat1 = numberValue(ownLatItem) * kRad;
    const double lon1 = -numberValue(ownLongItem) * kRad; // the item counts west positive
    const double lat2 = to.latitude * kRad;
    const double dLon = to.longitude * kRad - lon1;

    // Haversine for the arc: well-conditioned for short and long paths alike.
    const double h = std::pow(std::sin((lat2 - lat1) / 2), 2) +
                     std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dLon / 2), 2);
    const double arc = 2 * std::asin(std::sqrt(std::min(1.0, h)));
    const double km = kEarthRadiusKm * arc;
    if (!std::isfinite(km) || km < 1.0) return {};

    const double bearing =
        std::atan2(std::sin(dLon) * std::cos(lat2),
                   std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon));
    double degrees = std::fmod(bearing / kRad + 360.0, 360.0);
    if (!std::isfinite(degrees)) return {};
    return {std::to_string(static_cast<long long>(std::nearbyint(degrees))),
            std::to_string(static_cast<long long>(std::nearbyint(km)))};
}

} // namespace tavrel
