#include "logbook/WorkedBefore.h"

namespace tavrel {

namespace {
bool workedOnBandAndMode(const LogTable& log, const LogRecord& contact) {
    for (size_t r = 1; r < log.rows.size(); ++r) {
        const LogRecord& row = log.rows[r];
        if (row[2] == contact[2] && row[4] == contact[4] && row[5] == contact[5]) return true;
    }
    return false;
}

bool workedBefore(const LogTable& log, const std::string& call) {
    for (size_t r = 1; r < log.rows.size(); ++r)
        if (log.rows[r][2] == call) return true;
    return false;
}

} // namespace

std::optional<BandMark> workedBandMark(const LogTable& log, const LogRecord& contact) {
    if (contact[2].empty() || !workedBefore(log, contact[2])) return std::nullopt;
    const bool worked = workedOnBandAndMode(log, contact);
    return BandMark{worked, (worked ? "Worked before on " : "New on ") + contact[4] + " m " + contact[5]};
}

int findDuplicate(const LogTable& log, const LogRecord& contact) {
    for (size_t r = log.rows.size(); r-- > 1;) {
        const LogRecord& row = log.rows[r];
        if (row[2] == contact[2] && row[1] == contact[1] && row[3] == contact[3]) return static_cast<int>(r);
    }
    return 0;
}

} // namespace tavrel
