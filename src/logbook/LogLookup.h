#pragma once
// The previous-contact lookup: every earlier contact whose call contains what is typed.

#include "logbook/LogRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

struct LookupResult {
    int hitCount = 0;         // how many contacts matched
    std::vector<int> hitRows; // every matching row of the table, in file order (no upper limit)
    // From the last match in file order, the most recent contact; empty when none matched.
    std::string scall, sname, sqth, slocator;
    // One line per match, oldest first:
    // yyyy-mm-dd, 5 blanks, hh:mm (end time), 5 blanks, band, 4 blanks, his RST, 4 blanks, my RST, CR LF.
    std::string slist;
};

// One slist line for a record (see LookupResult::slist).
std::string slistLine(const LogRecord& row);

// Searches rows 1..logLast (never the header). The typed call is upper-cased with Ø as 0
// and must occur inside the stored call (field 2), exact bytes; an empty call matches nothing.
// The stored call must contain the typed one, not the other way round: Q1 finds Q1ABC,
// Q1ABC/P does not.
LookupResult searchLog(const LogTable& log, std::string_view typedCall);

} // namespace tavrel
