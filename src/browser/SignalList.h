#pragma once
// The signal browser's lines: one a station the band decoder hears, sorted by frequency, with the
// last characters of its text, the call it signs with, and whether it calls CQ or calls us.

#include "modem/HeardSignal.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel {

struct BrowserLine {
    uint32_t id = 0;
    int hz = 0;
    int level = 0;
    std::string text;  // the last kShown characters, line ends and other controls as blanks
    std::string call;  // the call the station last signed with, or empty
    bool cq = false;   // the text shown holds "CQ"
    bool ours = false; // the text shown holds our own call
};

class SignalList {
public:
    static constexpr std::size_t kShown = 60;
    static constexpr std::size_t kKept = 160; // read for calls: a whole "... de CALL CALL pse k"

    // Our own call (upper or lower case); empty: no line is ours.
    void setOwnCall(std::string call);

    // A report of every station heard now, each with its new text: lines of stations no longer
    // heard go, new ones come.
    void update(const std::vector<HeardSignal>& heard);

    const std::vector<BrowserLine>& lines() const { return m_lines; }
    bool ownCallHeard() const;

private:
    struct Kept {
        BrowserLine line;
        std::string recent; // the last kKept characters
        bool cut = false;   // older text has been dropped from recent
    };
    void refresh(Kept& k) const;
    void publish();

    std::string m_ownCall;
    std::vector<Kept> m_kept;
    std::vector<BrowserLine> m_lines;
};

} // namespace tavrel
