#pragma once
// Everything the station-information row shows for the call being typed, worked out in one go
// for the hiscall change handler.

#include "logbook/LogRecord.h"
#include "stationinfo/BeamInfo.h"
#include "stationinfo/DxccTable.h"

#include <string>
#include <string_view>

namespace tavrel {

// A default row is the cleared state: single blanks and the new/worked label hidden.
struct StationRow {
    int match = 0;              // dxccMatch
    std::string prefix = " ";   // Label33
    std::string country = " ";  // Label38
    std::string heading = " ";  // Label40
    std::string distance = " "; // Label41
    PrefixMark mark;            // Label39
    std::string beamFrom;       // what the heading was worked out from: "locator JO62QM", "prefix DL", ""
    bool operator==(const StationRow&) const = default;
};

// callHead: the first four characters of the trimmed upper-case call. An empty call leaves the
// row cleared; otherwise the prefix and country of the matched row (record 0 when none), the
// heading and distance when a record matched and its position gives an answer, and the
// new/worked mark. ownLatItem and ownLongItem are settings items 16 and 17.
// A valid `locator` (the one the operator typed, else the last one logged for the call) gives
// the heading and distance instead of the prefix's reference point, even for a call whose
// prefix is not in the table.
StationRow lookupStation(const DxccTable& table, std::string_view callHead, std::string_view ownLatItem,
                         std::string_view ownLongItem, const LogTable& log, std::string_view locator = {});

} // namespace tavrel
