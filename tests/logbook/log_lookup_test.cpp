#include "logbook/LogFile.h"
#include "logbook/LogLookup.h"
#include "logbook/LogView.h"

#include "support/LogRows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavrel {
namespace {

LogRecord contact(const std::string& call, const std::string& date = "20240315",
                  const std::string& end = "102000", const std::string& name = "Hans") {
    LogRecord r = sampleContact(call, date, end);
    r[10] = name;
    r[22] = date + end; // as loaded
    return r;
}

LogTable logWith(std::initializer_list<LogRecord> contacts) {
    LogTable t;
    t.rows.push_back(logHeaderRecord());
    t.rows.insert(t.rows.end(), contacts);
    return t;
}

TEST(LogLookup, MatchesStoredCallsContainingTheTypedTextOnly) {
    const LogTable log = logWith({contact("Q1ABC"), contact("Q10XY"), contact("k1aa")});
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"Q1", {1, 2}},    {"q1", {1, 2}}, {"1AB", {1}},
        {"Q1ABC/P", {}},                                 // the stored call contains the typed one
        {"q1\xD8xy", {2}}, {"Q10XY", {2}}, {"k1aa", {}}, // typed upper-cased, stored compared as it is
        {"", {}},          {"   ", {}}};
    for (const auto& [typed, rows] : cases) {
        const LookupResult res = searchLog(log, typed);
        EXPECT_EQ(res.hitRows, rows) << typed;
        EXPECT_EQ(res.hitCount, static_cast<int>(rows.size())) << typed;
        EXPECT_EQ(res.scall.empty() && res.slist.empty(), rows.empty()) << typed;
    }
    EXPECT_EQ(searchLog(logWith({}), "C").hitCount, 0); // the header's "Call" is never searched
}

TEST(LogLookup, ListsEveryMatchOldestFirstAndShowsTheNewestDetails) {
    LogRecord newer = contact("G4XYZ", "20240202", "111100", "Robert");
    newer[11] = "Leeds";
    newer[15] = "IO93FT";
    LogTable log = logWith({contact("G4XYZ", "20230101", "090000", "Bob"), contact("K1AA"), newer});
    const LookupResult res = searchLog(log, "g4xyz");
    EXPECT_EQ(res.slist, "2023-01-01     09:00     20    579    599\r\n"
                         "2024-02-02     11:11     20    579    599\r\n");
    EXPECT_EQ(std::vector<std::string>({res.scall, res.sname, res.sqth, res.slocator}),
              std::vector<std::string>({"G4XYZ", "Robert", "Leeds", "IO93FT"}));
    for (int i = 0; i < 300; ++i)
        log.rows.push_back(contact("G4XYZ"));
    EXPECT_EQ(searchLog(log, "G4").hitCount, 302);
    // Odd date and time fields do not break the line.
    EXPECT_EQ(slistLine(contact("X", "", "")), "--     :     20    579    599\r\n");
    EXPECT_EQ(slistLine(contact("X", "2024", "1")), "2024--24     1:     20    579    599\r\n");
}

TEST(LogView, RowShowsTheElevenColumnsAndTextSortsWithCaseFolded) {
    const LogViewRow want = {"2024-03-15", "20240315102030", "10:20",  "DL1ABC",  "Hans", "20", "579",
                             "599",        "BPSK",           "Berlin", "nice qso"};
    EXPECT_EQ(logViewRow(contact("DL1ABC", "20240315", "102030")), want);
    // clang-format off
    const std::tuple<const char*, const char*, int> cases[] = {
        {"smith", "Smith", 0}, {"Adams", "baker", -1}, {"\304rger", "\344rger", 0}, {"\212a", "\232a", 0},
        {"10", "15", -1}, {"", "A", -1}, {"AB", "A", 1}, {"z", "\351", -1}, {"\336", "\376", 0},
        {"\327", "\367", -1}, {"\214\216\237", "\234\236\377", 0}};
    // clang-format on
    for (const auto& [a, b, sign] : cases) {
        const int got = compareViewText(a, b), back = compareViewText(b, a);
        EXPECT_EQ((got > 0) - (got < 0), sign) << a << " vs " << b;
        EXPECT_EQ((back > 0) - (back < 0), -sign) << b << " vs " << a;
    }
}

// A stable sort by call, then by the hidden key, gives date and time order again.
TEST(LogView, SortingByCallThenByKeyRestoresDateAndTimeOrder) {
    std::vector<LogViewRow> rows;
    for (const auto& [call, date, end] : {std::tuple{"W1AW", "20240101", "120000"},
                                          {"DL1ABC", "20240101", "090000"},
                                          {"k1aa", "20231231", "235900"},
                                          {"G4XYZ", "20240101", "100000"}})
        rows.push_back(logViewRow(contact(call, date, end)));
    LogRecord stored = contact("AA1A", "20240102", "080000");
    stored[22].clear(); // added during the run, before any reload
    rows.push_back(logViewRow(stored));
    auto sortedBy = [&](int column) {
        std::stable_sort(rows.begin(), rows.end(), [column](const LogViewRow& a, const LogViewRow& b) {
            return viewRowLess(a, b, column);
        });
        std::string calls;
        for (const auto& r : rows)
            calls += r[3] + " ";
        return calls;
    };
    EXPECT_EQ(sortedBy(3), "AA1A DL1ABC G4XYZ k1aa W1AW ");
    EXPECT_EQ(sortedBy(1), "AA1A k1aa DL1ABC G4XYZ W1AW ");
    EXPECT_EQ(sortedBy(0), "k1aa DL1ABC G4XYZ W1AW AA1A ");  // one day's contacts keep their earlier order
    EXPECT_EQ(sortedBy(99), "k1aa DL1ABC G4XYZ W1AW AA1A "); // past the last column: Notes, all equal
}

} // namespace
} // namespace tavrel
