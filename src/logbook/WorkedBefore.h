#pragma once
// What the log already holds of the contact in the entry panel: the same station on this band
// and mode, or the very same contact stored once already.

#include "logbook/LogRecord.h"

#include <optional>
#include <string>

namespace tavrel {

// The line under the lookup for a call (field 2, exactly) logged before: whether it was on this
// band (field 4) and mode (field 5), and the text, "Worked before on 20 m BPSK" or "New on 40 m
// BPSK". Nothing for a new call. `contact` is the record the panel would store now; the header
// is never counted.
struct BandMark {
    bool worked;
    std::string text;
};
std::optional<BandMark> workedBandMark(const LogTable& log, const LogRecord& contact);

// The newest stored contact that is the same call, date and start time as `contact` (fields 2,
// 1 and 3): its row, or 0 when there is none.
int findDuplicate(const LogTable& log, const LogRecord& contact);

} // namespace tavrel
