#pragma once
// The rows of the log view: eleven texts per contact, and how a column sorts.

#include "logbook/LogRecord.h"

#include <array>
#include <string>
#include <string_view>

namespace tavrel {

inline constexpr int kLogViewColumns = 11;
using LogViewRow = std::array<std::string, kLogViewColumns>;

inline constexpr std::array<std::string_view, kLogViewColumns> kLogViewHeadings = {
    "Date", "d", "Time", "Call", "Name", "Band", "Sent", "Recd", "Mode", "QTH", "Notes"};

// Starting widths in hundredths of a millimetre; "d" is nearly hidden, it exists to sort by.
inline constexpr std::array<int, kLogViewColumns> kLogViewWidths = {1764, 141,  1147, 1587, 2470, 970,
                                                                    970,  1060, 1182, 3528, 5292};

// Date yyyy-mm-dd (field 1), d (field 22, date and end time), Time hh:mm (field 7), Call (2),
// Name (10), Band (4), Sent (8), Recd (9), Mode (5), QTH (11), Notes (12).
LogViewRow logViewRow(const LogRecord& row);

// Text order for sorting, ascending: byte by byte after folding Windows-1252 letters to lower
// case, so "smith" and "Smith" sort together and only their earlier order tells them apart
// under a stable sort. Negative, zero or positive like strcmp.
int compareViewText(std::string_view a, std::string_view b);

// Whether row a sorts before row b by the given column (0 = Date ... 10 = Notes). Rows of one
// date sort by the chronological key after it, so the date column gives date-and-time order.
bool viewRowLess(const LogViewRow& a, const LogViewRow& b, int column);

// The search box: whether the row's call, name or date holds the text, case folded, blanks
// around it ignored. A date is found as shown (2024-03-15) or as stored (20240315); an empty
// search finds every row.
bool viewRowMatches(const LogViewRow& row, std::string_view search);

} // namespace tavrel
