#pragma once
// Beam heading and great-circle distance from the operator's own position to a prefix
// record's reference point.

#include "stationinfo/DxccTable.h"

#include <string>
#include <string_view>

namespace tavrel {

struct BeamInfo {
    std::string heading;  // whole degrees 0..360 (Label40), or empty
    std::string distance; // whole kilometres (Label41), or empty
    bool operator==(const BeamInfo&) const = default;
};

// ownLatItem and ownLongItem are settings items 16 and 17: signed degrees, north and west
// positive, read by the numeric rule and used as they are. The record's columns 6 and 7 carry
// a hemisphere letter; only an upper-case "S" or "E" turns the sign.
// Where the geometry has no answer (a blank column 6 or 7, the same place or the antipodes -
// within about 60 m -, any NaN) both texts are empty and the labels stay blank. A place on one's
// own meridian is due north (0) or due south (180), however rounding leaves the heading's cosine.
BeamInfo beaminfo(std::string_view ownLatItem, std::string_view ownLongItem, const DxccRecord& record);

} // namespace tavrel
