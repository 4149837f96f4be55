// libFuzzer target for the log loader. Besides not crashing, whatever loads must survive a
// write and a second load unchanged (after the writer's clean-up), so the writer can never
// produce a file the loader reads differently.

#include "logbook/LogFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LogLoad load = parseLog(bytes);
    if (!load.ok()) {
        check(load.table.rows.empty());
        check(!load.error->message.empty());
        check(load.error->line >= 1);
        return 0;
    }

    std::string written;
    for (const LogRecord& row : load.table.rows) {
        check(row[0] == "zqx");
        check(row[23] == "|");
        check(row[22] == row[1] + row[7]);
        written += formatRecord(row);
    }
    const LogLoad again = parseLog(written);
    check(again.ok());
    check(again.table.logCount() == load.table.logCount());
    for (size_t r = 0; r < load.table.rows.size(); ++r) {
        LogRecord want = load.table.rows[r];
        sanitiseRecord(want);
        for (size_t i = 0; i < 22; ++i) {
            const size_t first = want[i].find_first_not_of(' ');
            want[i].erase(0, first == std::string::npos ? want[i].size() : first);
        }
        want[22] = want[1] + want[7];
        check(again.table.rows[r] == want);
    }
    return 0;
}
