#include "stationinfo/BeamInfo.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrel;

// Own position as the settings hold it (east and south negative), the other end as the table
// holds it; only an upper-case S or E turns the sign there.
TEST(BeamHeading, KnownPathsGiveTheirHeadingAndDistanceOrNothing) {
    const std::string huge = "1" + std::string(400, '0'); // reads as infinity
    const struct {
        const char* name;
        std::string ownLat, ownLong, lat, lon;
        BeamInfo expected;
    } cases[] = {
        {"London to New York", "51.5", "0.1", "40.7N", "74.0W", {"288", "5569"}},
        {"London to Cape Town", "51.5", "0.1", "33.9S", "18.4E", {"165", "9660"}},
        {"London to Moscow", "51.5", "0.1", "55.8N", "37.6E", {"64", "2496"}},
        {"Anchorage to Tokyo across the date line", "61.2", "149.9", "35.7N", "139.7E", {"273", "5558"}},
        {"Cape Town to London", "-33.9", "-18.4", "51.5N", "0.1W", {"349", "9660"}},
        {"Sydney to Tokyo", "-33.9", "-151.2", "35.7N", "139.7E", {"350", "7826"}},
        {"just west of due north shows 360", "51.5", "0.1", "70N", "0.2W", {"360", "2056"}},
        {"due north", "51.5", "0.1", "60N", "0.1W", {"0", "945"}}, // rounding takes the cosine to 1 or past
                                                                   // it
        {"due south", "51.5", "0.1", "40N", "0.1W", {"180", "1278"}},
        {"over the pole from half a turn east", "51.5", "0", "40N", "180E", {"0", "9834"}},
        {"half a turn west counts as west", "51.5", "0", "40N", "180W", {"360", "9834"}},
        {"trailing text read by the numeric rule", "51.5 deg", "0.1x", "40.7 N", "74.0W", {"288", "5569"}},
        {"lower-case s and e", "51.5", "0.1", "33.9s", "18.4e", {"224", "2447"}},
        {"S and W", "51.5", "0.1", "33.9S", "18.4W", {"195", "9656"}},
        {"no latitude", "51.5", "0.1", "", "74.0W", {}},
        {"no longitude", "51.5", "0.1", "40.7N", "", {}},
        {"same place", "51.5", "0.1", "51.5N", "0.1W", {}},
        {"antipodes", "51.5", "0.1", "51.5S", "179.9E", {}},
        {"own latitude infinite", huge, "0.1", "40.7N", "74.0W", {}},
        {"own longitude infinite", "51.5", huge, "40.7N", "74.0W", {}},
    };
    for (const auto& c : cases) {
        DxccRecord place{"X", "Somewhere", "", "", "", "", c.lat, c.lon};
        EXPECT_EQ(beaminfo(c.ownLat, c.ownLong, place), c.expected) << c.name;
    }
}
