#pragma once
// The receive windows as text: the line arriving now and the history of finished lines, with
// the rules for line ends, the 80-character cut and the history trim. Windows-1252 bytes.

#include <cstddef>
#include <string>

namespace tavrel {

struct ReceiveWindows {
    static constexpr std::size_t kLineCut = 80;       // a line moves on when it holds 81
    static constexpr std::size_t kHistoryMax = 4950;  // past this the history is trimmed...
    static constexpr std::size_t kHistoryKeep = 4800; // ...to its last 4800 characters

    std::string line;    // txtrxdata1: never holds CR, LF or backspace
    std::string history; // txtRXData
};

// What one append changed, so a window can follow without redrawing everything.
struct ReceiveChange {
    bool lineChanged = false;
    std::string moved;       // text added to the end of the history (before any trim)
    std::size_t trimmed = 0; // characters then removed from the start of the history
};

// A received "0" shown as the slashed zero (code 216) when slashZero is 1.
char substituteReceived(char c, int slashZero);

ReceiveChange appendReceived(ReceiveWindows& w, char rxChar);

// The history emptied, then eleven CR LF so new text starts at the bottom.
void clearHistory(ReceiveWindows& w);

} // namespace tavrel
