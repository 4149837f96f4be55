#pragma once
// What the log already holds of the contact in the entry panel: the same station on this band
// and mode, or the very same contact stored once already.

#include "logbook/LogRecord.h"

#include <string_view>

namespace tavrel {

// Whether a contact with exactly this call (field 2) was logged on this band (field 4) and mode
// (field 5). `contact` is the record the panel would store now. The header is never counted.
bool workedOnBandAndMode(const LogTable& log, const LogRecord& contact);

// Whether any contact with exactly this call was logged, on any band.
bool workedBefore(const LogTable& log, std::string_view call);

// The newest stored contact that is the same call, date and start time as `contact` (fields 2,
// 1 and 3): its row, or 0 when there is none.
int findDuplicate(const LogTable& log, const LogRecord& contact);

} // namespace tavrel
