// The texts of a new record, the lookup of a typed call and the rows of the log view.

#include "logbook/LogEntry.h"
#include "logbook/LogFile.h"
#include "logbook/LogLookup.h"
#include "logbook/LogText.h"
#include "logbook/LogView.h"

#include "support/LogRows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavrel {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectEach(std::string (*rule)(std::string_view), const Cases& cases) {
    for (const auto& [in, out] : cases)
        EXPECT_EQ(rule(in), out) << '"' << in << '"';
}

TEST(LogEntryText, CallsTimesNamesAndPowerAsStored) {
    // Upper case, with the slashed zero (typed or upper-cased from ø) as a digit.
    expectEach(callForLog,
               {{"q1\xD8xy", "Q10XY"}, {"q1\xF8xy", "Q10XY"}, {"dl/ok1abc/p", "DL/OK1ABC/P"}, {"", ""}});
    // The first two characters, two from the fourth on, the last two.
    expectEach(timeForLog,
               {{"12:34:56", "123456"}, {"9:05", "9:505"}, {"12:34", "123434"}, {"7", "77"}, {"", ""}});
    // Words begin after blanks and control characters only.
    // clang-format off
    expectEach(properCase, {{"mary-ann o'neil", "Mary-ann O'neil"}, {"NEW YORK", "New York"},
                            {"  two  blanks", "  Two  Blanks"}, {"a\tb\nc\vd\fe\rf", "A\tB\nC\vD\fE\rF"},
                            {std::string("nul\0sep", 7), std::string("Nul\0Sep", 7)},
                            {"m\334NCHEN \351lodie", "M\374nchen \311lodie"},
                            {"\232\341rka \234\236\377 \214\216\237", "\212\341rka \214\236\377 \214\236\377"},
                            {"stra\337e \367x \327X \336\336", "Stra\337e \367x \327x \336\376"}, // ß ÷ × have no other case
                            {"3rd st.john", "3rd St.john"}});
    // The number in the power setting, else 40.
    expectEach(powerForLog, {{"100", "100"}, {" 25 W", "25"}, {"2.50", "2.5"}, {"0.5", "0.5"}, {"050", "50"},
                             {"", "40"}, {"QRP", "40"}, {"0", "40"}, {"0.0", "40"}, {"-5", "40"}, {"W100", "40"}});
    // clang-format on
}

TEST(LogEntryText, RecordHoldsThePanelInItsFields) {
    EntryTexts panel{"q1\xD8xy", "10:15:00", "10:20:30", "40",   "579",
                     "599",      "mary-ann", "NEW YORK", "nice", "fn30aq"};
    LogRecord want{"zqx",    "20240315", "Q10XY", "101500",   "40",       "BPSK", "25",
                   "102030", "579",      "599",   "Mary-ann", "New York", "nice"};
    want[15] = "FN30AQ";
    want[23] = "|";
    EXPECT_EQ(buildRecord(panel, "20240315", " 25 W"), want);
}

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

// A stable sort by call, then by the hidden key, gives date and time order again; a contact added
// during the run, before any reload, has no key and sorts last.
TEST(LogView, SortingByCallThenByKeyRestoresDateAndTimeOrder) {
    std::vector<LogViewRow> rows = {logViewRow(contact("W1AW", "20240101", "120000")),
                                    logViewRow(contact("DL1ABC", "20240101", "090000")),
                                    logViewRow(contact("k1aa", "20231231", "235900")),
                                    logViewRow(contact("G4XYZ", "20240101", "100000")),
                                    logViewRow(contact("AA1A", "20240102", "080000"))};
    rows[4][1].clear();
    std::string calls;
    for (const int column : {3, 1, 0, 99}) { // 99: past the last column, all equal
        std::stable_sort(rows.begin(), rows.end(),
                         [column](const auto& a, const auto& b) { return viewRowLess(a, b, column); });
        for (const auto& r : rows)
            calls += r[3] + " ";
        calls += "| ";
    }
    EXPECT_EQ(calls, "AA1A DL1ABC G4XYZ k1aa W1AW | AA1A k1aa DL1ABC G4XYZ W1AW | "
                     "k1aa DL1ABC G4XYZ W1AW AA1A | k1aa DL1ABC G4XYZ W1AW AA1A | ");
}

} // namespace
} // namespace tavrel
