#include "logbook/LogLookup.h"

#include "logbook/LogText.h"

namespace tavrel {

std::string slistLine(const LogRecord& row) {
    std::string line = dateShown(row[1]);
    line.append("     ").append(timeShown(row[7]));
    line.append("     ").append(row[4]);
    line.append("    ").append(row[8]);
    line.append("    ").append(row[9]);
    line.append("\r\n");
    return line;
}

LookupResult searchLog(const LogTable& log, std::string_view typedCall) {
    LookupResult result;
    const std::string wanted = callForLog(typedCall);
    if (wanted.empty()) return result;
    for (int r = 1; r < log.logCount(); ++r) {
        if (log.rows[static_cast<size_t>(r)][2].find(wanted) != std::string::npos)
            result.hitRows.push_back(r);
    }
    result.hitCount = static_cast<int>(result.hitRows.size());
    if (result.hitRows.empty()) return result;

    const LogRecord& last = log.rows[static_cast<size_t>(result.hitRows.back())];
    result.scall = last[2];
    result.sname = last[10];
    result.sqth = last[11];
    result.slocator = last[15];
    result.slist.reserve(result.hitRows.size() * 40);
    for (int r : result.hitRows)
        result.slist += slistLine(log.rows[static_cast<size_t>(r)]);
    return result;
}

} // namespace tavrel
