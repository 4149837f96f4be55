#pragma once
// Turning the entry panel into a log record. The panel's texts come in as they stand;
// nothing is checked (an empty call or odd times are stored as typed), the record writer
// makes every value safe to write.

#include "logbook/LogRecord.h"

#include <string>
#include <string_view>

namespace tavrel {

// The texts of the entry panel's boxes, as the operator sees them.
struct EntryTexts {
    std::string hiscall; // call
    std::string start;   // hh:mm:ss
    std::string endt;    // hh:mm:ss
    std::string band;
    std::string hisrst;
    std::string myrst;
    std::string hisname;
    std::string qtht;
    std::string notes;
    std::string locator;
};

// A time as stored: the first two characters, two from the fourth on, the last two, so
// "12:34:56" gives "123456", "9:05" gives "9:505" and "" gives "".
std::string timeForLog(std::string_view shown);

// The transmit power as logged: the number the power setting (item 9) begins with, blanks
// before it skipped ("100", " 25 W" gives "25", "2.5"), or "40" when it holds none above 0.
std::string powerForLog(std::string_view powerItem);

// The record for the panel: field 1 qsoDateKey, the call upper case with Ø as 0, the two
// times by timeForLog, mode "BPSK", the power by powerForLog, name and QTH in proper case,
// locator upper case; the QSL fields and 16 to 22 empty; field 23 "|".
LogRecord buildRecord(const EntryTexts& panel, std::string_view qsoDateKey, std::string_view powerItem = {});

} // namespace tavrel
