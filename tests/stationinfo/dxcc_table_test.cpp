#include "stationinfo/DxccTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

using namespace tavrel;

namespace {

DxccRecord rec(std::string prefix, std::string country = "", std::string lat = "", std::string lon = "") {
    return {std::move(prefix), std::move(country), "", "", "", "", std::move(lat), std::move(lon)};
}

// Rows 0..n-1 with unused prefixes, then the given ones placed at their rows.
DxccTable tableWith(int n, std::vector<std::pair<int, DxccRecord>> placed) {
    std::vector<DxccRecord> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(rec("QQQQQ" + std::to_string(i), "filler"));
    for (auto& [i, r] : placed)
        rows[static_cast<size_t>(i)] = r;
    return DxccTable(std::move(rows));
}

LogRecord contact(std::string call) {
    LogRecord r{};
    r[0] = "zqx";
    r[2] = std::move(call);
    r[23] = "|";
    return r;
}

LogTable logWith(std::vector<std::string> calls) {
    LogTable log;
    LogRecord header{};
    header[0] = "zqx";
    header[1] = "Date";
    header[2] = "Call";
    header[23] = "|";
    log.rows.push_back(header);
    for (auto& c : calls)
        log.rows.push_back(contact(std::move(c)));
    return log;
}

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("tavrel-dxcc-" + std::to_string(std::random_device{}()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return path / name;
    }
};

// findprefix word for word: every row up to and including the one past the last, prefixes no
// longer than callHead compared with its first 1..4 characters, every equality taken.
int literalFindprefix(const std::vector<DxccRecord>& rows, const std::string& callHead) {
    int match = 0;
    for (size_t i = 0; i <= rows.size(); ++i) {
        const std::string p = i < rows.size() ? rows[i][0] : "";
        if (p.size() > callHead.size()) continue;
        for (size_t k = 1; k <= 4; ++k) {
            if (p == callHead.substr(0, std::min(k, callHead.size()))) match = static_cast<int>(i);
        }
    }
    return match;
}

} // namespace

TEST(DxccFileReading, FieldsFollowTheCommaQuoteAndLineRules) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<DxccRecord> expected;
    };
    const std::vector<Case> cases = {
        {"one line",
         "G,England,EU,14,27,0.0,52.77N,1.47W\n",
         {{"G", "England", "EU", "14", "27", "0.0", "52.77N", "1.47W"}}},
        {"leading blanks and tabs skipped, trailing kept",
         " G,\tEngland , EU,14,27,0.0,52.77N,1.47W",
         {{"G", "England ", "EU", "14", "27", "0.0", "52.77N", "1.47W"}}},
        {"quoted field holds commas",
         "FT0E,\"Juan de Nova, Europa\",AF,39,53,3.0,17.05S,42.72E\r\n",
         {{"FT0E", "Juan de Nova, Europa", "AF", "39", "53", "3.0", "17.05S", "42.72E"}}},
        {"text after a closing quote dropped",
         "\"A\"x,B,C,D,E,F,G,H\n",
         {{"A", "B", "C", "D", "E", "F", "G", "H"}}},
        {"quoted field runs over a line end",
         "A,\"B\nC\",D,E,F,G,H,I\n",
         {{"A", "B\nC", "D", "E", "F", "G", "H", "I"}}},
        {"records counted straight through line ends",
         "A,B,C,D\r\nE,F,G,H\rI,J,K,L,M,N,O,P",
         {{"A", "B", "C", "D", "E", "F", "G", "H"}, {"I", "J", "K", "L", "M", "N", "O", "P"}}},
        {"short line shifts the next record",
         "1,2,3,4,5,6,7\nA,B,C,D,E,F,G,H\n",
         {{"1", "2", "3", "4", "5", "6", "7", "A"}}},
        {"empty fields", "?,Unknown,,,,,,\n", {{"?", "Unknown", "", "", "", "", "", ""}}},
        {"comma before the end opens a last empty field",
         "A,B,C,D,E,F,G,",
         {{"A", "B", "C", "D", "E", "F", "G", ""}}},
        {"8-bit bytes kept",
         "OH0,\xC5land Islands,EU,15,18,2.0,60.13N,20.37E\n",
         {{"OH0", "\xC5land Islands", "EU", "15", "18", "2.0", "60.13N", "20.37E"}}},
        {"partial last record ignored",
         "A,B,C,D,E,F,G,H\nI,J,K\n",
         {{"A", "B", "C", "D", "E", "F", "G", "H"}}},
        {"unclosed quote ignored",
         "A,B,C,D,E,F,G,H\nI,J,K,L,M,N,O,\"P\n",
         {{"A", "B", "C", "D", "E", "F", "G", "H"}}},
        {"trailing blank line ignored", "A,B,C,D,E,F,G,H\n\n", {{"A", "B", "C", "D", "E", "F", "G", "H"}}},
        {"empty text", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseDxcc(c.text).records(), c.expected);
    }
}

TEST(DxccFileReading, MissingOrUnreadableFileGivesAnEmptyTableThatShowsNothing) {
    TempDir dir;
    for (const auto& path : {dir.path / "no-such-file.csv", dir.path}) {
        const DxccTable table = getdxcc(path);
        EXPECT_EQ(table.count(), 0);
        EXPECT_EQ(findprefix(table, "G4AB"), 0);
        EXPECT_EQ(prefixCaption(table, 0), " ");
        EXPECT_EQ(countryCaption(table, 0), " ");
        EXPECT_FALSE(markprefix(table, 0, "G4AB", logWith({"G4ABC", ""})).visible);
    }
}

TEST(DxccFileReading, MoreThanAThousandRecordsAllLoadAndMatch) {
    TempDir dir;
    std::string text = "?,Unknown,,,,,,\n";
    for (int i = 1; i < 1500; ++i)
        text += std::to_string(1000 + i) + ",Land " + std::to_string(i) + ",,,,,1N,1E\n";
    text += "X1,Partial"; // a file cut short inside its last record
    const DxccTable table = getdxcc(dir.write("dxcc1.csv", text));
    ASSERT_EQ(table.count(), 1500);
    EXPECT_EQ(findprefix(table, "2499"), 1499);
    EXPECT_EQ(countryCaption(table, 1499), " Land 1499");
    EXPECT_EQ(findprefix(table, "X1AB"), 0);
}

TEST(PrefixLookup, LastMatchInFileOrderWins) {
    const DxccTable gFirst =
        tableWith(10, {{0, rec("?", "Unknown")}, {5, rec("G", "England")}, {9, rec("GM", "Scotland")}});
    const DxccTable gmFirst =
        tableWith(10, {{0, rec("?", "Unknown")}, {5, rec("GM", "Scotland")}, {9, rec("G", "England")}});
    EXPECT_EQ(findprefix(gFirst, "GM3A"), 9);
    EXPECT_EQ(countryCaption(gFirst, 9), " Scotland");
    EXPECT_EQ(findprefix(gmFirst, "GM3A"), 9);
    EXPECT_EQ(countryCaption(gmFirst, 9), " England");
    // A prefix longer than callHead cannot match.
    EXPECT_EQ(findprefix(gFirst, "G"), 5);
    EXPECT_EQ(findprefix(gmFirst, "G"), 9);
}

TEST(PrefixLookup, OnlyExactPrefixesOfOneToFourCharactersMatch) {
    const DxccTable table = tableWith(6, {{1, rec("GM3AB", "five")},
                                          {2, rec("gm", "lower")},
                                          {3, rec("", "empty")},
                                          {4, rec("D", "Germany")}});
    EXPECT_EQ(findprefix(table, "GM3A"), 0);
    EXPECT_EQ(findprefix(table, "GM3ABC"), 0);
    EXPECT_EQ(findprefix(table, "GM3AB"), 0);
    EXPECT_EQ(findprefix(table, "Q"), 0);
    EXPECT_EQ(findprefix(table, ""), 0);
    EXPECT_EQ(findprefix(table, "D"), 4);
}

TEST(PrefixLookup, NoMatchShowsRecordZero) {
    const DxccTable table = tableWith(3, {{0, rec("?", "Unknown")}, {1, rec("G", "England")}});
    const int match = findprefix(table, "Q1AB");
    EXPECT_EQ(match, 0);
    EXPECT_EQ(prefixCaption(table, match), " ?");
    EXPECT_EQ(countryCaption(table, match), " Unknown");
    // A match on record 0 itself cannot be told from no match.
    EXPECT_EQ(findprefix(table, "?"), 0);
}

TEST(PrefixLookup, IndexedLookupAgreesWithTheRowByRowRuleOnRandomTables) {
    const unsigned seed = 20240611;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::string alphabet = "AB1a";
    auto randomText = [&](int minLen, int maxLen) {
        std::string s(std::uniform_int_distribution<int>(minLen, maxLen)(rng), ' ');
        for (char& c : s)
            c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
        return s;
    };
    for (int t = 0; t < 200; ++t) {
        std::vector<DxccRecord> rows(std::uniform_int_distribution<size_t>(0, 300)(rng));
        for (auto& r : rows)
            r = rec(randomText(0, 6));
        const DxccTable table(rows);
        for (int c = 0; c < 50; ++c) {
            const std::string callHead = randomText(1, 6);
            ASSERT_EQ(findprefix(table, callHead), literalFindprefix(rows, callHead))
                << "table " << t << " callHead " << callHead;
        }
    }
}

TEST(WorkedPrefix, NewUntilALoggedCallBeginsWithThePrefix) {
    const DxccTable table = tableWith(3, {{1, rec("G", "England")}, {2, rec("GM", "Scotland")}});
    const PrefixMark fresh{true, "New   Prefix", kNewPrefixColour};
    const PrefixMark worked{true, "Worked Prefix", kWorkedPrefixColour};
    EXPECT_EQ(fresh.backColour, 49152u);
    EXPECT_EQ(worked.backColour, 33023u);

    EXPECT_EQ(markprefix(table, 2, "GM3A", logWith({})), fresh);
    EXPECT_EQ(markprefix(table, 2, "GM3A", logWith({"G4ABC", "G", "DL1XYZ"})), fresh);
    LogTable log = logWith({"DL1XYZ"});
    log.rows.push_back(contact("GM3ABC")); // the contact is stored and the log reloaded
    EXPECT_EQ(markprefix(table, 2, "GM3A", log), worked);
    EXPECT_EQ(markprefix(table, 1, "G4AB", log), worked);
    // The match itself need not be the logged call's longest prefix.
    EXPECT_EQ(markprefix(table, 1, "G", logWith({"DL1XYZ", "GM3ABC", "K1AB"})), worked);
}

TEST(WorkedPrefix, HiddenWithoutAMatchAndRowZeroIsExamined) {
    const DxccTable table =
        tableWith(3, {{0, rec("?", "Unknown")}, {1, rec("CA", "Chile")}, {2, rec("", "")}});
    EXPECT_FALSE(markprefix(table, 0, "Q1AB", logWith({"G4ABC"})).visible);
    // The header's "Call" title does not begin with Chile's CA: case counts.
    EXPECT_EQ(markprefix(table, 1, "CA3A", logWith({})).caption, "New   Prefix");
    LogTable storing = logWith({});
    storing.rows[0][2] = "CA3ABC"; // row 0 holds the record being stored
    EXPECT_EQ(markprefix(table, 1, "CA3A", storing).caption, "Worked Prefix");
    // An empty prefix is no prefix, even against a contact logged without a call.
    EXPECT_EQ(markprefix(table, 2, "Q1AB", logWith({""})).caption, "New   Prefix");
}
