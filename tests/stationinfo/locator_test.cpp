// Heading and distance to a prefix's reference point or to the centre of a grid locator.

#include "stationinfo/BeamInfo.h"
#include "stationinfo/Locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tavrel {
namespace {

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

TEST(Locator, CentreOfTheSquareItNames) {
    const struct {
        const char* locator;
        double lat, lon; // NaN: not a locator
    } cases[] = {
        {"JJ00", 0.5, 1.0},
        {"FN20", 40.5, -75.0},
        {"fn31pr", 41.0 + 17.5 / 24, -74.0 + 15.5 / 12},
        {"JO62QM47", 52.0 + 12.0 / 24 + 7.5 / 240, 12.0 + 16.0 / 12 + 4.5 / 120},
        {"AA00aa", -90.0 + 1.0 / 48, -180.0 + 1.0 / 24},
        {"RR99xx", 90.0 - 1.0 / 48, 180.0 - 1.0 / 24},
        {"SA00", NAN, 0}, // fields run A to R
        {"JO6", NAN, 0},
        {"JO62Q", NAN, 0},
        {"JO62YA", NAN, 0}, // subsquares run A to X
        {"JO62QMAB", NAN, 0},
        {"", NAN, 0},
    };
    for (const auto& c : cases) {
        const auto centre = locatorCentre(c.locator);
        if (std::isnan(c.lat)) {
            EXPECT_FALSE(centre) << c.locator;
            continue;
        }
        ASSERT_TRUE(centre) << c.locator;
        EXPECT_NEAR(centre->latitude, c.lat, 1e-9) << c.locator;
        EXPECT_NEAR(centre->longitude, c.lon, 1e-9) << c.locator;
    }
}

// Own position as the settings hold it: north and west positive. Due north and due south along
// one meridian are 40 degrees of arc, 40 x pi/180 x 6371 km = 4447.8 km; the others were worked
// out with the haversine and forward-azimuth formulas on paper and a calculator.
TEST(Locator, HeadingAndDistanceForKnownPairs) {
    const struct {
        const char* lat;
        const char* lon;
        const char* locator;
        BeamInfo want;
    } cases[] = {
        {"0.5", "75", "FN20", {"0", "4448"}},
        {"0.5", "75", "FF20", {"180", "4448"}},
        {"51.5", "0.1", "FN31PR", {"289", "5417"}},      // London to Newington, Connecticut
        {"51.5", "0.1", "JO62QM", {"78", "928"}},        // London to Berlin
        {"61.2", "149.9", "PM95", {"274", "5617"}},      // Anchorage to Tokyo, west over the date line
        {"-33.9", "-151.2", "IO91WM", {"319", "16995"}}, // Sydney to London: south and east negative
        {"51.5", "0.1", "RE78IR", {"21", "18811"}},      // London to Wellington, near the antipode
        {"40.5", "75", "FN20", {"", ""}},                // the centre of one's own square: no heading
    };
    for (const auto& c : cases) {
        const auto to = locatorCentre(c.locator);
        ASSERT_TRUE(to) << c.locator;
        EXPECT_EQ(beamToPoint(c.lat, c.lon, *to), c.want) << c.locator << " from " << c.lat << " " << c.lon;
    }
}

TEST(Locator, TypedLocatorElseTheLastValidOneLoggedForExactlyThatCall) {
    LogTable log;
    log.rows.push_back(LogRecord{"zqx", "Date", "Call"});
    for (auto [call, locator] : {std::pair{"DL1ABC", "JO62"},
                                 {"DL1ABC", "jo62qm"},
                                 {"DL1ABC", "Berlin"},
                                 {"DL1ABCD", "JO31"},
                                 {"G4XYZ", ""}}) {
        LogRecord& r = log.rows.emplace_back();
        r[2] = call;
        r[15] = locator;
    }
    // Typed, call, the locator pointed at: a valid typed one wins.
    for (const auto& [typed, call, want] : {std::tuple{"", "DL1ABC", "JO62QM"},
                                            {"FN31PR", "DL1ABC", "FN31PR"},
                                            {"BERLIN", "DL1ABC", "JO62QM"},
                                            {"", "DL1AB", ""},
                                            {"", "G4XYZ", ""},
                                            {"", "", ""},
                                            {"IO91", "", "IO91"}})
        EXPECT_EQ(beamLocator(log, typed, call), want) << typed << " " << call;
}

} // namespace
} // namespace tavrel
