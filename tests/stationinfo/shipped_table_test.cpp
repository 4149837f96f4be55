// The prefix table shipped in data/ (made by tools/dxccgen from the country files).

#include "dxccgen/CtyDat.h"
#include "stationinfo/BeamInfo.h"
#include "stationinfo/DxccTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace tavrel;

namespace {

std::filesystem::path sourceDir() {
    const char* dir = std::getenv("TAVREL_SOURCE_DIR");
    return dir && *dir ? dir : TAVREL_SOURCE_DIR_FALLBACK;
}

std::filesystem::path shippedFile() {
    return sourceDir() / "data" / "dxcc1.csv";
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const DxccTable& shipped() {
    static const DxccTable table = getdxcc(shippedFile());
    return table;
}

} // namespace

TEST(ShippedPrefixTable, CallsFromEveryContinentFindTheirCountry) {
    ASSERT_GT(shipped().count(), 1000) << shippedFile();
    struct Case {
        const char* call;
        const char* prefix;
        const char* country;
    };
    const Case cases[] = {
        {"G4ABC", "G", "England"},
        {"GM3ABC", "GM", "Scotland"},
        {"DL1ABC", "DL", "Fed. Rep. of Germany"},
        {"K1ABC", "K", "United States of America"},
        {"W1AW", "W", "United States of America"},
        {"VE3ABC", "VE3", "Canada"},
        {"JA1ABC", "JA", "Japan"},
        {"VK2ABC", "VK", "Australia"},
        {"ZS6ABC", "ZS", "South Africa"},
        {"PY2ABC", "PY", "Brazil"},
        {"LU1ABC", "LU", "Argentina"},
        {"ZL1ABC", "ZL", "New Zealand"},
        {"4X1ABC", "4X", "Israel"},
        {"UA9ABC", "UA9", "Asiatic Russia"},
        {"UA3ABC", "UA", "European Russia"},
        {"EA8ABC", "EA8", "Canary Islands"},
        {"EA4ABC", "EA", "Spain"},
        {"KH6ABC", "KH6", "Hawaii"},
        {"VP8ABC", "VP8", "Falkland Islands"},
        {"5Z4ABC", "5Z", "Kenya"},
        {"VU2ABC", "VU", "India"},
        {"CE3ABC", "CE", "Chile"},
        {"IT9ABC", "I", "Italy"}, // Sicily counts only on the WAE list
        // Entities whose own prefix has a digit in it, their calls listed one by one.
        {"4U1ITU", "4U1I", "ITU HQ"},
        {"4U1UN", "4U1U", "United Nations HQ"},
        {"4U1VIC", "4U1V", "Vienna Intl Ctr"},
        {"EA8/G4ABC", "EA8", "Canary Islands"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        const std::string head = std::string(c.call).substr(0, 4);
        const int match = findprefix(shipped(), head);
        EXPECT_GT(match, 0);
        EXPECT_EQ(prefixCaption(shipped(), match), std::string(" ") + c.prefix);
        EXPECT_EQ(countryCaption(shipped(), match), std::string(" ") + c.country);
    }
}

TEST(ShippedPrefixTable, UnknownCallsShowRecordZero) {
    EXPECT_EQ(shipped().row(0), dxccgen::unknownRecord());
    EXPECT_EQ(findprefix(shipped(), "Q1AB"), 0);
    EXPECT_EQ(prefixCaption(shipped(), 0), " ?");
    EXPECT_EQ(countryCaption(shipped(), 0), " Unknown");
}

TEST(ShippedPrefixTable, ReferencePointsLieInTheRightHemispheres) {
    struct Case {
        const char* head;
        char ns, ew;
    };
    const Case cases[] = {{"JA1A", 'N', 'E'}, {"PY2A", 'S', 'W'}, {"K1AB", 'N', 'W'}, {"VK2A", 'S', 'E'},
                          {"ZS6A", 'S', 'E'}, {"G4AB", 'N', 'W'}, {"DL1A", 'N', 'E'}, {"LU1A", 'S', 'W'},
                          {"KH6A", 'N', 'W'}, {"ZL1A", 'S', 'E'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        const DxccRecord& r = shipped().row(findprefix(shipped(), c.head));
        EXPECT_EQ(r[6].back(), c.ns);
        EXPECT_EQ(r[7].back(), c.ew);
    }
    // From London, New York lies west and Tokyo east.
    const BeamInfo usa = beaminfo("51.5", "0.1", shipped().row(findprefix(shipped(), "K1AB")));
    const BeamInfo japan = beaminfo("51.5", "0.1", shipped().row(findprefix(shipped(), "JA1A")));
    EXPECT_GT(std::stoi(usa.heading), 180);
    EXPECT_LT(std::stoi(japan.heading), 90);
}

TEST(ShippedPrefixTable, EveryRowIsAWellFormedPrefixFoundByItself) {
    const DxccTable& t = shipped();
    // The log's header row ("Call") is examined too; a prefix C would always show as worked.
    EXPECT_EQ(t.lastRowWithPrefix("C"), -1);
    for (int i = 1; i < t.count(); ++i) {
        const DxccRecord& r = t.row(i);
        SCOPED_TRACE(r[0]);
        ASSERT_TRUE(r[0].size() >= 1 && r[0].size() <= 4);
        ASSERT_EQ(r[0].find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), std::string::npos);
        ASSERT_FALSE(r[1].empty());
        ASSERT_TRUE(r[6].back() == 'N' || r[6].back() == 'S');
        ASSERT_TRUE(r[7].back() == 'E' || r[7].back() == 'W');
        // Unique, and after every shorter prefix that begins it, so the longest prefix wins.
        ASSERT_EQ(findprefix(t, r[0]), i);
    }
}

TEST(ShippedPrefixTable, MatchesWhatTheGeneratorMakesFromTheInstalledCountryFile) {
    const std::filesystem::path cty = "/usr/share/hamradio-files/cty.dat";
    if (!std::filesystem::exists(cty)) GTEST_SKIP() << cty << " is not installed";
    dxccgen::GenerationReport report;
    const auto records = dxccgen::buildPrefixRecords(dxccgen::parseCtyDat(readFile(cty)), report);
    EXPECT_EQ(dxccgen::formatDxcc(records), readFile(shippedFile()))
        << "data/dxcc1.csv is out of date: build the target regenerate_dxcc1";
}
