#include "logbook/LogEntry.h"

#include "logbook/LogText.h"

namespace tavrel {

std::string timeForLog(std::string_view shown) {
    std::string out;
    out.append(leftPart(shown, 2)).append(midPart(shown, 4, 2)).append(rightPart(shown, 2));
    return out;
}

std::string powerForLog(std::string_view item) {
    size_t i = item.find_first_not_of(" \t");
    if (i == std::string_view::npos) return "40";
    std::string number;
    bool above0 = false;
    for (; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i) {
        if (!number.empty() || item[i] != '0') number += item[i]; // no leading zeros
        above0 = above0 || item[i] != '0';
    }
    if (i < item.size() && item[i] == '.') {
        std::string fraction;
        for (++i; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i) {
            fraction += item[i];
            above0 = above0 || item[i] != '0';
        }
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
        if (!fraction.empty()) number = (number.empty() ? "0" : number) + "." + fraction;
    }
    return above0 ? number : "40";
}

LogRecord buildRecord(const EntryTexts& panel, std::string_view qsoDateKey, std::string_view powerItem) {
    LogRecord row;
    row[0] = "zqx";
    row[1] = qsoDateKey;
    row[2] = callForLog(panel.hiscall);
    row[3] = timeForLog(panel.start);
    row[4] = panel.band;
    row[5] = "BPSK"; // whatever mode the modem is set to
    row[6] = powerForLog(powerItem);
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
