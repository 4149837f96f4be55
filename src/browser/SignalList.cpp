#include "browser/SignalList.h"

#include "browser/CallPick.h"

#include <algorithm>

namespace tavrel {

void SignalList::setOwnCall(std::string call) {
    // As typed into the settings: blanks around it are not part of it.
    call.erase(0, call.find_first_not_of(' '));
    call.erase(call.find_last_not_of(' ') + 1);
    if (call == m_ownCall) return;
    m_ownCall = std::move(call);
    for (Kept& k : m_kept)
        refresh(k);
    publish();
}

void SignalList::update(const std::vector<HeardSignal>& heard) {
    std::vector<Kept> next;
    next.reserve(heard.size());
    for (const HeardSignal& h : heard) {
        const auto was =
            std::find_if(m_kept.begin(), m_kept.end(), [&](const Kept& k) { return k.line.id == h.id; });
        Kept k = was != m_kept.end() ? std::move(*was) : Kept{};
        k.line.id = h.id;
        k.line.hz = h.hz;
        k.line.level = h.level;
        for (char c : h.text) {
            // One blank for any run of blanks and line ends: the line is too short to waste.
            const char shown = static_cast<unsigned char>(c) < 32 || c == 127 ? ' ' : c;
            if (shown == ' ' && (k.recent.empty() || k.recent.back() == ' ')) continue;
            k.recent += shown;
        }
        if (k.recent.size() > kKept) {
            k.recent.erase(0, k.recent.size() - kKept);
            k.cut = true;
        }
        if (!h.text.empty()) refresh(k);
        next.push_back(std::move(k));
    }
    m_kept = std::move(next);
    publish();
}

void SignalList::publish() {
    m_lines.clear();
    for (const Kept& k : m_kept)
        m_lines.push_back(k.line);
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const BrowserLine& a, const BrowserLine& b) { return a.hz < b.hz; });
}

void SignalList::refresh(Kept& k) const {
    const std::string& r = k.recent;
    k.line.text = r.size() > kShown ? r.substr(r.size() - kShown) : r;
    // A word cut off at the front is not read as a call ("L1ABC k" from "DL1ABC k").
    std::string_view whole = r;
    if (k.cut) whole.remove_prefix(std::min(whole.size(), whole.find(' ') + 1));
    if (std::string call = pickCall(whole); !call.empty()) k.line.call = std::move(call);
    k.line.cq = hasWord(k.line.text, "CQ");
    k.line.ours = hasWord(k.line.text, m_ownCall);
}

bool SignalList::ownCallHeard() const {
    return std::any_of(m_lines.begin(), m_lines.end(), [](const BrowserLine& l) { return l.ours; });
}

} // namespace tavrel
