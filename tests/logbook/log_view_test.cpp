#include "logbook/LogFile.h"
#include "logbook/LogView.h"

#include "SampleContact.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavrel {
namespace {

// As loaded: the remarks "notes" and the chronological key filled.
LogRecord contact(const std::string& call, const std::string& date, const std::string& end) {
    LogRecord r = test::sampleContact(call, date, end);
    r[12] = "notes";
    r[22] = date + end;
    return r;
}

TEST(LogView, RowShowsTheElevenColumnsFromTheRecord) {
    const LogViewRow row = logViewRow(contact("DL1ABC", "20240315", "102030"));
    const LogViewRow want = {"2024-03-15", "20240315102030", "10:20",  "DL1ABC", "Hans", "20", "579",
                             "599",        "BPSK",           "Berlin", "notes"};
    EXPECT_EQ(row, want);
    ASSERT_EQ(kLogViewHeadings.size(), kLogViewWidths.size());
    EXPECT_EQ(kLogViewHeadings[1], "d");
}

TEST(LogView, TextComparisonFoldsCase) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"smith", "Smith", 0},
        {"Adams", "baker", -1},
        {"\xC4rger", "\xE4rger", 0}, // Ärger, ärger
        {"\x8A"
         "a",
         "\x9A"
         "a",
         0}, // Ša, ša
        {"10", "15", -1},
        {"40", "20", 1},
        {"", "A", -1},
        {"AB", "A", 1},
        {"z", "\xE9", -1}, // accented letters after the plain ones
    };
    for (const auto& [a, b, sign] : cases) {
        const int got = compareViewText(a, b);
        EXPECT_EQ((got > 0) - (got < 0), sign) << a << " vs " << b;
        const int back = compareViewText(b, a);
        EXPECT_EQ((back > 0) - (back < 0), -sign) << b << " vs " << a;
    }
}

TEST(LogView, SortingByCallThenByKeyRestoresDateAndTimeOrder) {
    std::vector<LogViewRow> rows = {
        logViewRow(contact("W1AW", "20240101", "120000")),
        logViewRow(contact("DL1ABC", "20240101", "090000")),
        logViewRow(contact("k1aa", "20231231", "235900")),
        logViewRow(contact("G4XYZ", "20240101", "100000")),
    };
    LogRecord stored = contact("AA1A", "20240102", "080000");
    stored[22].clear(); // added during the run, before any reload
    rows.push_back(logViewRow(stored));

    auto sortBy = [&](int column) {
        std::stable_sort(rows.begin(), rows.end(), [column](const LogViewRow& a, const LogViewRow& b) {
            return viewRowLess(a, b, column);
        });
    };
    auto calls = [&] {
        std::vector<std::string> out;
        for (const auto& r : rows)
            out.push_back(r[3]);
        return out;
    };
    sortBy(3);
    EXPECT_EQ(calls(), (std::vector<std::string>{"AA1A", "DL1ABC", "G4XYZ", "k1aa", "W1AW"}));
    sortBy(1);
    EXPECT_EQ(calls(), (std::vector<std::string>{"AA1A", "k1aa", "DL1ABC", "G4XYZ", "W1AW"}));
    sortBy(0); // one day's contacts by their chronological key
    EXPECT_EQ(calls(), (std::vector<std::string>{"k1aa", "DL1ABC", "G4XYZ", "W1AW", "AA1A"}));
}

} // namespace
} // namespace tavrel
