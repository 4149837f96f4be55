#include "stationinfo/BeamInfo.h"

#include "core/Numeric.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {

// The figures the results are defined by; not the more precise ones.
constexpr double kDegPerRad = 180.0 / 3.14159;
constexpr double kQuarterTurn = 1.570796;
constexpr double kNmPerDegree = 60.0;
constexpr double kKmPerNm = 1.852;
constexpr double kLeastArcSine = 1e-5; // about 64 m of arc

// Degrees with a trailing hemisphere letter; the letter `negative` turns the sign.
double hemisphereDegrees(const std::string& field, char negative) {
    const double sign = field.back() == negative ? -1.0 : 1.0;
    return sign * numberValue(std::string_view(field).substr(0, field.size() - 1));
}

// Whole number, half to even (the default rounding mode), as plain digits.
std::string wholeText(double v) {
    return std::to_string(static_cast<long long>(std::nearbyint(v)));
}

} // namespace

BeamInfo beaminfo(std::string_view ownLatItem, std::string_view ownLongItem, const DxccRecord& record) {
    const std::string& latField = record[6];
    const std::string& longField = record[7];
    if (latField.empty() || longField.empty()) return {};

    double a = numberValue(ownLatItem);
    const double b = numberValue(ownLongItem);
    double p = hemisphereDegrees(latField, 'S');
    const double q = hemisphereDegrees(longField, 'E');
    double g = q - b;

    // West when the difference, brought into -180..+180, is positive.
    double span = std::fmod(g, 360.0);
    if (span > 180.0) span -= 360.0;
    if (span < -180.0) span += 360.0;
    const bool west = span > 0.0;

    a /= kDegPerRad;
    p /= kDegPerRad;
    g /= kDegPerRad;

    const double x = std::sin(a) * std::sin(p) + std::cos(p) * std::cos(a) * std::cos(g);
    if (!(std::fabs(x) < 1.0)) return {}; // same place, antipodes, or NaN
    const double d = kQuarterTurn - std::atan(x / std::sqrt(1.0 - x * x));
    // Near the reference point or its antipode (d near 0 or a half turn) the heading is 0/0. H is
    // a little short of a quarter turn and K maps 180 degrees a little short of a half turn, so
    // exact coincidence never shows as d = 0 or sin(d) = 0; allow some tens of metres.
    if (!(std::sin(d) > kLeastArcSine)) return {};
    const double km = kDegPerRad * d * kNmPerDegree * kKmPerNm;

    double y = (std::sin(p) - std::cos(d) * std::sin(a)) / (std::cos(a) * std::sin(d));
    if (std::isnan(y)) return {};
    // On one's own meridian rounding takes |y| to 1 or just past it: due north or due south.
    y = std::clamp(y, -1.0, 1.0);
    double heading = std::fabs(y) == 1.0
                         ? (y > 0.0 ? 0.0 : 180.0)
                         : kDegPerRad * (kQuarterTurn - std::atan(y / std::sqrt(1.0 - y * y)));
    if (west) heading = 360.0 - heading;

    if (!std::isfinite(heading) || !std::isfinite(km)) return {};
    return {wholeText(heading), wholeText(km)};
}

} // namespace tavrel
