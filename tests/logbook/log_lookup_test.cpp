#include "logbook/LogFile.h"
#include "logbook/LogLookup.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

LogRecord contact(const std::string& call, const std::string& date = "20240315",
                  const std::string& end = "102000", const std::string& name = "Hans") {
    LogRecord r;
    r[0] = "zqx";
    r[1] = date;
    r[2] = call;
    r[4] = "20";
    r[7] = end;
    r[8] = "579";
    r[9] = "599";
    r[10] = name;
    r[11] = "Berlin";
    r[15] = "JO62QM";
    r[23] = "|";
    return r;
}

LogTable logWith(std::initializer_list<LogRecord> contacts) {
    LogTable t;
    t.rows.push_back(logHeaderRecord());
    t.rows.insert(t.rows.end(), contacts);
    return t;
}

TEST(LogLookup, SlistLineIsSpacedExactly) {
    const LookupResult res = searchLog(logWith({contact("DL1ABC")}), "DL1ABC");
    EXPECT_EQ(res.slist, "2024-03-15     10:20     20    579    599\r\n");
}

TEST(LogLookup, OddDateAndTimeFieldsDoNotBreakTheLine) {
    EXPECT_EQ(slistLine(contact("X", "", "")), "--     :     20    579    599\r\n");
    EXPECT_EQ(slistLine(contact("X", "2024", "1")), "2024--24     1:     20    579    599\r\n");
}

TEST(LogLookup, MatchesStoredCallsContainingTheTypedTextOnly) {
    const LogTable log = logWith({contact("Q1ABC"), contact("Q10XY"), contact("k1aa")});
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"Q1", {1, 2}},    {"q1", {1, 2}},
        {"1AB", {1}},      {"Q1ABC/P", {}}, // stored call must contain the typed one, not the reverse
        {"q1\xD8xy", {2}},                  // Ø
        {"Q1\xF8XY", {2}},                  // ø
        {"Q10XY", {2}},    {"k1aa", {}},    // the typed call is upper-cased, the stored one compared as it is
        {"", {}},          {"   ", {}},
    };
    for (const auto& [typed, rows] : cases) {
        const LookupResult res = searchLog(log, typed);
        EXPECT_EQ(res.hitRows, rows) << typed;
        EXPECT_EQ(res.hitCount, static_cast<int>(rows.size())) << typed;
    }
}

TEST(LogLookup, HeaderRowIsNeverSearched) {
    const LookupResult res = searchLog(logWith({}), "C"); // the header's call field reads "Call"
    EXPECT_EQ(res.hitCount, 0);
    EXPECT_EQ(res.slist, "");
    EXPECT_EQ(res.scall, "");
}

TEST(LogLookup, RepeatedCallListsOldestFirstAndShowsTheNewestDetails) {
    LogRecord older = contact("G4XYZ", "20230101", "090000", "Bob");
    LogRecord newer = contact("G4XYZ", "20240202", "111100", "Robert");
    newer[11] = "Leeds";
    newer[15] = "IO93FT";
    const LookupResult res = searchLog(logWith({older, contact("K1AA"), newer}), "g4xyz");
    EXPECT_EQ(res.hitCount, 2);
    EXPECT_EQ(res.slist, "2023-01-01     09:00     20    579    599\r\n"
                         "2024-02-02     11:11     20    579    599\r\n");
    EXPECT_EQ(res.scall, "G4XYZ");
    EXPECT_EQ(res.sname, "Robert");
    EXPECT_EQ(res.sqth, "Leeds");
    EXPECT_EQ(res.slocator, "IO93FT");
}

TEST(LogLookup, ListsEveryMatchBeyondTwoHundredFiftyFive) {
    LogTable log = logWith({});
    for (int i = 0; i < 300; ++i)
        log.rows.push_back(contact("K" + std::to_string(i), "20240101", "120000"));
    log.rows.push_back(contact("W1AW"));
    const LookupResult res = searchLog(log, "K");
    ASSERT_EQ(res.hitCount, 300);
    ASSERT_EQ(res.hitRows.size(), 300u);
    EXPECT_EQ(res.hitRows.front(), 1);
    EXPECT_EQ(res.hitRows.back(), 300);
    EXPECT_EQ(res.scall, "K299");
    size_t lines = 0;
    for (size_t p = res.slist.find("\r\n"); p != std::string::npos; p = res.slist.find("\r\n", p + 2))
        ++lines;
    EXPECT_EQ(lines, 300u);
}

} // namespace
} // namespace tavrel
