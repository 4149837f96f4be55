#pragma once
// Log records for tests, written the way the log file holds them.

#include "logbook/LogFile.h"
#include "logbook/LogRecord.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace tavrel {

// The log file's first line, as the tests build whole files from it.
inline const std::string kLogHeader(kLogHeaderLine);

// A record from its fields separated by commas; fields not given stay empty.
inline LogRecord logRow(std::string_view fields) {
    LogRecord r;
    for (size_t i = 0, at = 0; i < r.size() && at <= fields.size(); ++i) {
        const size_t end = std::min(fields.find(',', at), fields.size());
        r[i] = fields.substr(at, end - at);
        at = end + 1;
    }
    return r;
}

// A well-formed contact as stored (field 22, the loader's sort key, left empty).
inline LogRecord sampleContact(const std::string& call, const std::string& date = "20240315",
                               const std::string& end = "102000") {
    return logRow("zqx," + date + "," + call + ",101500,20,BPSK,40," + end +
                  ",579,599,Hans,Berlin,nice qso,,,JO62QM,,,,,,,,|");
}

} // namespace tavrel
