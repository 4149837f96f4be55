// Grid locators, and heading and distance worked out from one instead of the prefix.

#include "stationinfo/Locator.h"
#include "stationinfo/StationLookup.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavrel {
namespace {

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

LogTable logWith(std::initializer_list<std::pair<const char*, const char*>> contacts) {
    LogTable log;
    log.rows.push_back(LogRecord{"zqx", "Date", "Call"});
    for (auto [call, locator] : contacts) {
        LogRecord r{};
        r[0] = "zqx";
        r[2] = call;
        r[15] = locator;
        log.rows.push_back(r);
    }
    return log;
}

TEST(Locator, LastValidLocatorLoggedForExactlyThatCall) {
    const LogTable log = logWith(
        {{"DL1ABC", "JO62"}, {"DL1ABC", "jo62qm"}, {"DL1ABC", "Berlin"}, {"DL1ABCD", "JO31"}, {"G4XYZ", ""}});
    EXPECT_EQ(lastLoggedLocator(log, "DL1ABC"), "JO62QM");
    EXPECT_EQ(lastLoggedLocator(log, "DL1AB"), "");
    EXPECT_EQ(lastLoggedLocator(log, "G4XYZ"), "");
    EXPECT_EQ(lastLoggedLocator(log, ""), "");
}

TEST(Locator, StationRowSaysWhatTheHeadingComesFrom) {
    const DxccTable table({
        {"?", "Unknown", "", "", "", "", "", ""},
        {"K", "United States", "NA", "5", "8", "-5.0", "40.7N", "74.0W"},
    });
    const LogTable log = logWith({});
    const StationRow byPrefix = lookupStation(table, "K1AB", "51.5", "0.1", log);
    EXPECT_EQ(byPrefix.heading, "288");
    EXPECT_EQ(byPrefix.beamFrom, "prefix K");
    const StationRow byLocator = lookupStation(table, "K1AB", "51.5", "0.1", log, "FN31PR");
    EXPECT_EQ(byLocator.heading, "289");
    EXPECT_EQ(byLocator.distance, "5417");
    EXPECT_EQ(byLocator.beamFrom, "locator FN31PR");
    EXPECT_EQ(byLocator.country, " United States");
    const StationRow unknownPrefix = lookupStation(table, "Q1AB", "51.5", "0.1", log, "JO62QM");
    EXPECT_EQ(unknownPrefix.heading, "78");
    const StationRow badLocator = lookupStation(table, "K1AB", "51.5", "0.1", log, "Berlin");
    EXPECT_EQ(badLocator.beamFrom, "prefix K");
}

} // namespace
} // namespace tavrel
