#pragma once
// Maidenhead grid locators ("JO62", "JO62QM", "JO62QM47") and the heading and distance to one:
// a better guide for the antenna than a country's reference point when the other station has
// sent its locator.

#include "logbook/LogRecord.h"
#include "stationinfo/BeamInfo.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

struct GeoPoint {
    double latitude;  // degrees, north positive
    double longitude; // degrees, east positive
};

// The centre of the square a locator of 4, 6 or 8 characters names (field A-R, square 0-9,
// subsquare A-X, extended square 0-9; letters of either case); nothing for anything else.
std::optional<GeoPoint> locatorCentre(std::string_view locator);

// The locator to point at: `typed` when it is a valid locator, else the one of the newest contact
// with exactly `call` (as stored: upper case, Ø as 0) whose locator field holds a valid locator,
// upper case; "" when none does.
std::string beamLocator(const LogTable& log, const std::string& typed, std::string_view call);

// Heading (whole degrees, 0 north, clockwise, 360 for what rounds up from 359.5) and
// great-circle distance (whole kilometres on a sphere of 6371 km) from the operator's position
// to a point. ownLatItem and ownLongItem are settings items 16 and 17: signed degrees, north and
// west positive. Within a kilometre of the point the heading has no meaning and both texts are
// empty; otherwise the formula has an answer everywhere, the antipodes included.
BeamInfo beamToPoint(std::string_view ownLatItem, std::string_view ownLongItem, GeoPoint to);

} // namespace tavrel
