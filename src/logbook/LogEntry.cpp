#include "logbook/LogEntry.h"

#include "logbook/LogText.h"

namespace tavrel {

std::string timeForLog(std::string_view shown) {
    std::string out;
    out.append(leftPart(shown, 2)).append(midPart(shown, 4, 2)).append(rightPart(shown, 2));
    return out;
}

LogRecord buildRecord(const EntryTexts& panel, std::string_view qsoDateKey) {
    LogRecord row;
    row[0] = "zqx";
    row[1] = qsoDateKey;
    row[2] = callForLog(panel.hiscall);
    row[3] = timeForLog(panel.start);
    row[4] = panel.band;
    row[5] = "BPSK"; // whatever mode the modem is set to
    row[6] = "40";
    row[7] = timeForLog(panel.endt);
    row[8] = panel.hisrst;
    row[9] = panel.myrst;
    row[10] = properCase(panel.hisname);
    row[11] = properCase(panel.qtht);
    row[12] = panel.notes;
    row[15] = upperCase1252(panel.locator);
    row[23] = "|";
    return row;
}

} // namespace tavrel
