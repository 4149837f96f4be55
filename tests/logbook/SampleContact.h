#pragma once
// A well-formed contact record for the logbook tests.

#include "logbook/LogRecord.h"

#include <string>

namespace tavrel::test {

inline LogRecord sampleContact(const std::string& call, const std::string& date = "20240315",
                               const std::string& end = "102000") {
    LogRecord r;
    r[0] = "zqx";
    r[1] = date;
    r[2] = call;
    r[3] = "101500";
    r[4] = "20";
    r[5] = "BPSK";
    r[6] = "40";
    r[7] = end;
    r[8] = "579";
    r[9] = "599";
    r[10] = "Hans";
    r[11] = "Berlin";
    r[12] = "nice qso";
    r[15] = "JO62QM";
    r[23] = "|";
    return r;
}

} // namespace tavrel::test
