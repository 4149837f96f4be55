#include "logbook/LogView.h"

#include "logbook/LogText.h"

#include <algorithm>

namespace tavrel {

LogViewRow logViewRow(const LogRecord& row) {
    return {dateShown(row[1]), row[22], timeShown(row[7]), row[2], row[10], row[4], row[8], row[9], row[5],
            row[11],           row[12]};
}

int compareViewText(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(lowerCase1252(a[i]));
        const auto cb = static_cast<unsigned char>(lowerCase1252(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool viewRowLess(const LogViewRow& a, const LogViewRow& b, int column) {
    const auto c = static_cast<size_t>(std::clamp(column, 0, kLogViewColumns - 1));
    return compareViewText(a[c], b[c]) < 0;
}

} // namespace tavrel
