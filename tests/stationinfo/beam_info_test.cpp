#include "stationinfo/BeamInfo.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrel;

namespace {

DxccRecord place(std::string lat, std::string lon) {
    return {"X", "Somewhere", "", "", "", "", lat, lon};
}

struct Case {
    const char* name;
    std::string ownLat, ownLong, lat, lon;
    BeamInfo expected;
};

void check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(beaminfo(c.ownLat, c.ownLong, place(c.lat, c.lon)), c.expected);
    }
}

} // namespace

TEST(BeamHeading, KnownPathsGiveTheirHeadingAndDistance) {
    check({
        {"London to New York", "51.5", "0.1", "40.7N", "74.0W", {"288", "5569"}},
        {"London to Cape Town", "51.5", "0.1", "33.9S", "18.4E", {"165", "9660"}},
        {"London to Moscow", "51.5", "0.1", "55.8N", "37.6E", {"64", "2496"}},
        {"Anchorage to Tokyo across the date line", "61.2", "149.9", "35.7N", "139.7E", {"273", "5558"}},
        {"just west of due north shows 360", "51.5", "0.1", "70N", "0.2W", {"360", "2056"}},
        // On one's own meridian rounding takes the heading's cosine to 1 or past it.
        {"due north", "51.5", "0.1", "60N", "0.1W", {"0", "945"}},
        {"due south", "51.5", "0.1", "40N", "0.1W", {"180", "1278"}},
        {"numbers with trailing text read by the numeric rule",
         "51.5 deg",
         "0.1x",
         "40.7 N",
         "74.0W",
         {"288", "5569"}},
    });
}

TEST(BeamHeading, OnlyUpperCaseSAndETurnTheSign) {
    const BeamInfo north = beaminfo("51.5", "0.1", place("33.9N", "18.4E"));
    const BeamInfo west = beaminfo("51.5", "0.1", place("33.9S", "18.4W"));
    ASSERT_FALSE(north.heading.empty());
    EXPECT_NE(north, beaminfo("51.5", "0.1", place("33.9S", "18.4E")));
    EXPECT_EQ(beaminfo("51.5", "0.1", place("33.9s", "18.4E")), north);
    EXPECT_EQ(beaminfo("51.5", "0.1", place("33.9S", "18.4e")), west);
    EXPECT_EQ(beaminfo("51.5", "0.1", place("33.9S", "18.4X")), west);
}

TEST(BeamHeading, SouthernAndEasternOwnPositionsAreUsedAsTheyAre) {
    // Cape Town to London: raising own coordinates to just above zero would give 0 and 5723.
    check({
        {"Cape Town to London", "-33.9", "-18.4", "51.5N", "0.1W", {"349", "9660"}},
        {"Sydney to Tokyo", "-33.9", "-151.2", "35.7N", "139.7E", {"350", "7826"}},
    });
}

TEST(BeamHeading, NoDefinedAnswerLeavesBothTextsEmpty) {
    const std::string huge = "1" + std::string(400, '0'); // reads as infinity
    check({
        {"no latitude", "51.5", "0.1", "", "74.0W", {}},
        {"no longitude", "51.5", "0.1", "40.7N", "", {}},
        {"same place", "51.5", "0.1", "51.5N", "0.1W", {}},
        {"antipodes", "51.5", "0.1", "51.5S", "179.9E", {}},
        {"own latitude infinite", huge, "0.1", "40.7N", "74.0W", {}},
        {"own longitude infinite", "51.5", huge, "40.7N", "74.0W", {}},
    });
}
