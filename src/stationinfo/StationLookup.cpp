#include "stationinfo/StationLookup.h"

#include "stationinfo/Locator.h"

namespace tavrel {

StationRow lookupStation(const DxccTable& table, std::string_view callHead, std::string_view ownLatItem,
                         std::string_view ownLongItem, const LogTable& log, std::string_view locator) {
    StationRow row;
    if (callHead.empty()) return row;
    row.match = findprefix(table, callHead);
    row.prefix = prefixCaption(table, row.match);
    row.country = countryCaption(table, row.match);
    if (const auto point = locatorCentre(locator)) {
        const BeamInfo beam = beamToPoint(ownLatItem, ownLongItem, *point);
        if (!beam.heading.empty()) {
            row.heading = beam.heading;
            row.distance = beam.distance;
            row.beamFrom = "locator " + std::string(locator);
        }
    } else if (row.match > 0) {
        const BeamInfo beam = beaminfo(ownLatItem, ownLongItem, table.row(row.match));
        if (!beam.heading.empty()) {
            row.heading = beam.heading;
            row.distance = beam.distance;
            row.beamFrom = "prefix " + table.row(row.match)[0];
        }
    }
    row.mark = markprefix(table, row.match, callHead, log);
    return row;
}

} // namespace tavrel
