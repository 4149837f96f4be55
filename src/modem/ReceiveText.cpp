#include "modem/ReceiveText.h"

namespace tavrel {

char substituteReceived(char c, int slashZero) {
    return (c == '0' && slashZero == 1) ? static_cast<char>(216) : c;
}

ReceiveChange appendReceived(ReceiveWindows& w, char rxChar) {
    ReceiveChange change;
    const bool lineEnd = rxChar == '\r' || rxChar == '\n';
    // A control character is added and taken away again: a backspace deletes nothing.
    if (!lineEnd && rxChar != '\b') {
        w.line.push_back(rxChar);
        change.lineChanged = true;
    }
    std::string moved;
    if (lineEnd || w.line.size() > ReceiveWindows::kLineCut) {
        moved.swap(w.line);
        change.lineChanged = true;
    }
    if (lineEnd) moved += "\r\n";
    if (!moved.empty()) {
        w.history += moved;
        if (w.history.size() > ReceiveWindows::kHistoryMax) {
            change.trimmed = w.history.size() - ReceiveWindows::kHistoryKeep;
            w.history.erase(0, change.trimmed);
        }
        change.moved = std::move(moved);
    }
    return change;
}

void clearHistory(ReceiveWindows& w) {
    w.history.clear();
    for (int i = 0; i < 11; ++i)
        w.history += "\r\n";
}

} // namespace tavrel
