#pragma once
// A log record: 24 text fields (Windows-1252 bytes); field 0 the marker "zqx", field 23 the
// end mark "|". The table holds row 0 (the header record) and every contact in file order.

#include <array>
#include <string>
#include <vector>

namespace tavrel {

inline constexpr int kLogFields = 24;
using LogRecord = std::array<std::string, kLogFields>;

struct LogTable {
    std::vector<LogRecord> rows; // rows[0] is the header record
    int logCount() const { return static_cast<int>(rows.size()); }
    int logLast() const { return logCount() - 1; }
};

} // namespace tavrel
