// The prefix table shipped in data/ (made by tools/dxccgen from the country files).

#include "dxccgen/CtyDat.h"
#include "stationinfo/DxccTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavrel;

namespace {

std::filesystem::path shippedFile() {
    const char* dir = std::getenv("TAVREL_SOURCE_DIR");
    return std::filesystem::path(dir && *dir ? dir : TAVREL_SOURCE_DIR_FALLBACK) / "data" / "dxcc1.csv";
}

const DxccTable& shipped() {
    static const DxccTable table = getdxcc(shippedFile());
    return table;
}

TEST(ShippedPrefixTable, CallsFromEveryContinentFindTheirCountryInTheirHemispheres) {
    ASSERT_GT(shipped().count(), 1000) << shippedFile();
    EXPECT_EQ(shipped().row(0), dxccgen::unknownRecord());
    // Call, then prefix, country and the hemispheres of its reference point (Sicily counts on
    // the WAE list only).
    // clang-format off
    const std::pair<const char*, std::string> cases[] = {
        {"G4ABC", "G,England,NW"}, {"GM3ABC", "GM,Scotland,NW"}, {"DL1ABC", "DL,Fed. Rep. of Germany,NE"},
        {"W1AW", "W,United States of America,NW"}, {"VE3ABC", "VE3,Canada,NW"}, {"JA1ABC", "JA,Japan,NE"},
        {"VK2ABC", "VK,Australia,SE"}, {"ZS6ABC", "ZS,South Africa,SE"}, {"PY2ABC", "PY,Brazil,SW"},
        {"UA9ABC", "UA9,Asiatic Russia,NE"}, {"UA3ABC", "UA,European Russia,NE"},
        {"EA8/G4ABC", "EA8,Canary Islands,NW"}, {"KH6ABC", "KH6,Hawaii,NW"}, {"IT9ABC", "I,Italy,NE"},
        {"4U1ITU", "4U1I,ITU HQ,NE"}, {"Q1AB", "?,Unknown,"}};
    // clang-format on
    for (const auto& [call, want] : cases) {
        const DxccRecord& r = shipped().row(findprefix(shipped(), std::string(call).substr(0, 4)));
        EXPECT_EQ(r[0] + "," + r[1] + "," +
                      (r[6].empty() ? "" : r[6].substr(r[6].size() - 1) + r[7].substr(r[7].size() - 1)),
                  want);
    }
}

TEST(ShippedPrefixTable, EveryRowIsAWellFormedPrefixFoundByItself) {
    const DxccTable& t = shipped();
    // The log's header row ("Call") is examined too; a prefix C would always show as worked.
    EXPECT_EQ(t.lastRowWithPrefix("C"), -1);
    EXPECT_EQ(t.lastRowWithPrefix("GM3AB"), -1); // longer than any prefix
    for (int i = 1; i < t.count(); ++i) {
        const DxccRecord& r = t.row(i);
        SCOPED_TRACE(r[0]);
        ASSERT_TRUE(r[0].size() >= 1 && r[0].size() <= 4);
        ASSERT_EQ(r[0].find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), std::string::npos);
        ASSERT_FALSE(r[1].empty());
        ASSERT_TRUE(r[6].ends_with('N') || r[6].ends_with('S'));
        ASSERT_TRUE(r[7].ends_with('E') || r[7].ends_with('W'));
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

} // namespace
