#include "stationinfo/DxccTable.h"
#include "stationinfo/StationLookup.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace tavrel;

namespace {

DxccRecord rec(std::string prefix, std::string country = "", std::string lat = "", std::string lon = "") {
    return {std::move(prefix), std::move(country), "", "", "", "", std::move(lat), std::move(lon)};
}

LogTable logWith(std::initializer_list<const char*> calls) {
    LogTable log;
    log.rows.emplace_back()[2] = "Call"; // the header
    for (const char* c : calls)
        log.rows.emplace_back()[2] = c;
    return log;
}

TEST(DxccFileReading, FieldsFollowTheCommaQuoteAndLineRules) {
    using Rows = std::vector<DxccRecord>;
    const Rows abc = {{"A", "B", "C", "D", "E", "F", "G", "H"}};
    const std::pair<std::string, Rows> cases[] = {
        {" G,\tEngland , EU,14,27,0.0,52.77N,1.47W",
         {{"G", "England ", "EU", "14", "27", "0.0", "52.77N", "1.47W"}}},
        {"FT0E,\"Juan de Nova, Europa\",AF,1,2,3.0,17.05S,42.72E\r\n",
         {{"FT0E", "Juan de Nova, Europa", "AF", "1", "2", "3.0", "17.05S", "42.72E"}}},
        {"\"A\"x,B,C,D,E,F,G,H\n", abc}, // text after a closing quote dropped
        {"A,\"B\nC\",D,E,F,G,H,I\n", {{"A", "B\nC", "D", "E", "F", "G", "H", "I"}}},
        {"A,B,C,D\r\nE,F,G,H\rI,J,K,L,M,N,O,P", {abc[0], {"I", "J", "K", "L", "M", "N", "O", "P"}}},
        {"1,2,3,4,5,6,7\nA,B,C,D,E,F,G,H\n",
         {{"1", "2", "3", "4", "5", "6", "7", "A"}}}, // counted straight through
        {"?,Unknown,,,,,,\n", {{"?", "Unknown", "", "", "", "", "", ""}}},
        {"A,B,C,D,E,F,G,", {{"A", "B", "C", "D", "E", "F", "G", ""}}}, // a comma at the end opens a field
        {"OH0,\xC5land,EU,1,2,3,4N,5E\n", {{"OH0", "\xC5land", "EU", "1", "2", "3", "4N", "5E"}}},
        {"A,B,C,D,E,F,G,H\nI,J,K\n", abc},             // a partial last record is ignored
        {"A,B,C,D,E,F,G,H\nI,J,K,L,M,N,O,\"P\n", abc}, // so is one with an unclosed quote
        {"A,B,C,D,E,F,G,H\n\n", abc},
        {"", {}},
    };
    for (const auto& [text, rows] : cases)
        EXPECT_EQ(parseDxcc(text).records(), rows) << text;
}

TEST(DxccFileReading, MissingFileGivesAnEmptyTableAndALargeOneLoadsWhole) {
    TempDir dir;
    for (const auto& path : {dir.file("no-such-file.csv"), dir.path}) {
        const DxccTable table = getdxcc(path);
        EXPECT_EQ(table.count(), 0);
        EXPECT_EQ(lookupStation(table, "G4AB", "51.5", "0.1", logWith({"G4ABC", ""})),
                  (StationRow{0, " ", " ", " ", " ", {}, ""}));
    }
    std::string text = "?,Unknown,,,,,,\n";
    for (int i = 1; i < 1500; ++i)
        text += std::to_string(1000 + i) + ",Land " + std::to_string(i) + ",,,,,1N,1E\n";
    writeFile(dir.file("dxcc1.csv"), text + "X1,Partial"); // cut short inside its last record
    const DxccTable table = getdxcc(dir.file("dxcc1.csv"));
    ASSERT_EQ(table.count(), 1500);
    EXPECT_EQ(findprefix(table, "2499"), 1499);
    EXPECT_EQ(countryCaption(table, 1499), " Land 1499");
    EXPECT_EQ(findprefix(table, "X1AB"), 0);
}

TEST(PrefixLookup, IndexedLookupAgreesWithTheRowByRowRuleOnRandomTables) {
    std::mt19937 rng(20240611);
    auto randomText = [&](int minLen, int maxLen) {
        std::string s(std::uniform_int_distribution<int>(minLen, maxLen)(rng), ' ');
        for (char& c : s)
            c = "AB1a"[rng() % 4];
        return s;
    };
    for (int t = 0; t < 200; ++t) {
        std::vector<DxccRecord> rows(std::uniform_int_distribution<size_t>(0, 300)(rng));
        for (auto& r : rows)
            r = rec(randomText(0, 6));
        const DxccTable table(rows);
        for (int c = 0; c < 50; ++c) {
            const std::string head = randomText(1, 6);
            int want = 0;
            for (size_t i = 0; i < rows.size(); ++i)
                for (size_t k = 1; k <= 4; ++k)
                    if (rows[i][0].size() <= head.size() &&
                        rows[i][0] == head.substr(0, std::min(k, head.size())))
                        want = static_cast<int>(i);
            ASSERT_EQ(findprefix(table, head), want) << "table " << t << " callHead " << head;
        }
    }
    const DxccTable table({rec("?", "Unknown"), rec("D", "D land")});
    EXPECT_EQ(prefixCaption(table, 0) + countryCaption(table, 1), " ? D land");
    EXPECT_EQ(prefixCaption(table, 99) + countryCaption(table, -1), "  ");
}

TEST(StationRow, ShowsPrefixCountryBeamAndWhetherThePrefixIsWorked) {
    const DxccTable table({rec("?", "Unknown"), rec("D", "D land", "51.00N", "10.00E"),
                           rec("DL", "Germany", "51.00N", "10.00E"),
                           rec("K", "United States", "40.7N", "74.0W"), rec("XX", "Nowhere"),
                           rec("CA", "Chile"), rec("", "")});
    const PrefixMark fresh{true, "New   Prefix", 49152}, worked{true, "Worked Prefix", 33023}, none{};
    // A valid locator, typed or logged, gives the heading instead of the prefix.
    const std::tuple<const char*, LogTable, const char*, StationRow> cases[] = {
        {"", logWith({"K1ABC"}), "", {}},
        {"K1AB", logWith({}), "", {3, " K", " United States", "288", "5569", fresh, "prefix K"}},
        {"K1AB", logWith({}), "FN31PR", {3, " K", " United States", "289", "5417", fresh, "locator FN31PR"}},
        {"K1AB", logWith({}), "Berlin", {3, " K", " United States", "288", "5569", fresh, "prefix K"}},
        {"Q1AB", logWith({}), "JO62QM", {0, " ?", " Unknown", "78", "928", none, "locator JO62QM"}},
        {"D", logWith({"DL1ABC"}), "", {1, " D", " D land", "91", "704", worked, "prefix D"}},
        {"DL", logWith({"K1ABC", "D"}), "", {2, " DL", " Germany", "91", "704", fresh, "prefix DL"}},
        {"Q1AB", logWith({"Q1ABC"}), "", {0, " ?", " Unknown", " ", " ", none, ""}},
        {"XX1A", logWith({}), "", {4, " XX", " Nowhere", " ", " ", fresh, ""}},
        {"CA3A",
         logWith({}),
         "",
         {5, " CA", " Chile", " ", " ", fresh, ""}}, // the header's "Call" is no CA call
        {"CA3A", logWith({"G4ABC", "CA3ABC"}), "", {5, " CA", " Chile", " ", " ", worked, ""}},
    };
    for (const auto& [head, log, locator, row] : cases)
        EXPECT_EQ(lookupStation(table, head, "51.5", "0.1", log, locator), row) << head << " " << locator;
    // Row 0 is examined too (it holds the record being stored), and an empty prefix is no prefix.
    LogTable storing = logWith({});
    storing.rows[0][2] = "CA3ABC";
    EXPECT_EQ(markprefix(table, 5, "CA3A", storing), worked);
    EXPECT_EQ(markprefix(table, 6, "Q1AB", logWith({""})), fresh);
}

} // namespace
