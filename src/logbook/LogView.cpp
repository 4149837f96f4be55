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
    const int order = compareViewText(a[c], b[c]);
    if (order == 0 && c == 0) return compareViewText(a[1], b[1]) < 0;
    return order < 0;
}

namespace {

bool holdsFolded(std::string_view text, std::string_view wanted) {
    if (wanted.size() > text.size()) return false;
    for (size_t i = 0; i + wanted.size() <= text.size(); ++i)
        if (compareViewText(text.substr(i, wanted.size()), wanted) == 0) return true;
    return false;
}

std::string withoutDashes(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '-') out += c;
    return out;
}

} // namespace

bool viewRowMatches(const LogViewRow& row, std::string_view search) {
    const std::string_view wanted = trimSpaces(search);
    if (wanted.empty()) return true;
    return holdsFolded(row[3], wanted) || holdsFolded(row[4], wanted) || holdsFolded(row[0], wanted) ||
           holdsFolded(withoutDashes(row[0]), wanted);
}

} // namespace tavrel
