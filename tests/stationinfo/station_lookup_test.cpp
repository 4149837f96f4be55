#include "stationinfo/StationLookup.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

DxccTable smallTable() {
    return DxccTable({
        {"?", "Unknown", "", "", "", "", "", ""},
        {"D", "D land", "EU", "14", "28", "1.0", "51.00N", "10.00E"},
        {"DL", "Germany", "EU", "14", "28", "1.0", "51.00N", "10.00E"},
        {"K", "United States", "NA", "5", "8", "-5.0", "40.7N", "74.0W"},
        {"XX", "Nowhere", "", "", "", "", "", ""},
    });
}

LogTable logOf(std::initializer_list<const char*> calls) {
    LogTable log;
    LogRecord header{};
    header[0] = "zqx";
    header[2] = "Call";
    log.rows.push_back(header);
    for (const char* c : calls) {
        LogRecord r{};
        r[0] = "zqx";
        r[2] = c;
        log.rows.push_back(r);
    }
    return log;
}

} // namespace

TEST(StationRow, EmptyCallLeavesTheRowCleared) {
    const StationRow row = lookupStation(smallTable(), "", "51.5", "0.1", logOf({"K1ABC"}));
    EXPECT_EQ(row, StationRow{});
    EXPECT_EQ(row.prefix, " ");
    EXPECT_FALSE(row.mark.visible);
}

TEST(StationRow, MatchedCallShowsPrefixCountryBeamAndMark) {
    const StationRow row = lookupStation(smallTable(), "K1AB", "51.5", "0.1", logOf({}));
    EXPECT_EQ(row.match, 3);
    EXPECT_EQ(row.prefix, " K");
    EXPECT_EQ(row.country, " United States");
    EXPECT_EQ(row.heading, "288");
    EXPECT_EQ(row.distance, "5569");
    EXPECT_EQ(row.mark, (PrefixMark{true, "New   Prefix", kNewPrefixColour}));
}

TEST(StationRow, TypingOnFollowsTheLongerPrefixAndLaterLoggedContacts) {
    LogTable log = logOf({"K1ABC"});
    const StationRow d = lookupStation(smallTable(), "D", "51.5", "0.1", log);
    const StationRow dl = lookupStation(smallTable(), "DL", "51.5", "0.1", log);
    EXPECT_EQ(d.prefix, " D");
    EXPECT_EQ(dl.prefix, " DL");
    EXPECT_EQ(dl.country, " Germany");
    EXPECT_EQ(dl.mark.caption, "New   Prefix");

    LogRecord stored{};
    stored[2] = "DL1ABC";
    log.rows.push_back(stored);
    const StationRow again = lookupStation(smallTable(), "DL", "51.5", "0.1", log);
    EXPECT_EQ(again.mark, (PrefixMark{true, "Worked Prefix", kWorkedPrefixColour}));
    EXPECT_EQ(again.heading, dl.heading);
}

TEST(StationRow, NoMatchOrNoPositionKeepsHeadingAndRangeBlank) {
    const StationRow unknown = lookupStation(smallTable(), "Q1AB", "51.5", "0.1", logOf({"Q1ABC"}));
    EXPECT_EQ(unknown.match, 0);
    EXPECT_EQ(unknown.prefix, " ?");
    EXPECT_EQ(unknown.country, " Unknown");
    EXPECT_EQ(unknown.heading, " ");
    EXPECT_EQ(unknown.distance, " ");
    EXPECT_FALSE(unknown.mark.visible);

    const StationRow nowhere = lookupStation(smallTable(), "XX1A", "51.5", "0.1", logOf({}));
    EXPECT_EQ(nowhere.country, " Nowhere");
    EXPECT_EQ(nowhere.heading, " ");
    EXPECT_EQ(nowhere.distance, " ");
    EXPECT_EQ(nowhere.mark.caption, "New   Prefix");
}
