#include "modem/audio/DisplayFeed.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

DisplayFeed::DisplayFeed(const psk31::Receiver& rx) : m_rx(rx) {
    configure();
}

void DisplayFeed::setKind(int kind) {
    m_kind = std::clamp(kind, 0, 4);
    configure();
}

void DisplayFeed::setRange(int lowHz, int highHz) {
    m_low = lowHz;
    m_high = highHz;
    configure();
}

void DisplayFeed::setBins(int bins) {
    m_bins = std::clamp(bins, 16, 4096);
    configure();
}

void DisplayFeed::rxMoved() {
    if (m_kind == 4) configure();
}

void DisplayFeed::configure() {
    if (m_kind == 4) {
        m_carpetCentre = m_rx.frequency();
        m_spectrum.setRange(m_carpetCentre - kCarpetHalfSpanHz, m_carpetCentre + kCarpetHalfSpanHz,
                            static_cast<std::size_t>(m_bins));
    } else {
        m_spectrum.setRange(m_low, m_high, static_cast<std::size_t>(m_bins));
    }
    m_frame.assign(static_cast<std::size_t>(m_bins), 0.0f);
}

bool DisplayFeed::room() {
    if (m_inFlight.load(std::memory_order_relaxed) >= kInFlight) return false;
    m_inFlight.fetch_add(1, std::memory_order_relaxed);
    return true;
}

DisplayFeed::Item DisplayFeed::feed(const float* in, std::size_t n) {
    if (m_kind == 0 || m_kind == 1 || m_kind == 4) {
        if (m_kind == 4 && std::abs(m_rx.frequency() - m_carpetCentre) > kCarpetHalfSpanHz / 4) configure();
        m_spectrum.process(in, n);
        bool fresh = false;
        while (m_spectrum.takeFrame(m_frame.data()))
            fresh = true;
        return fresh && room() ? Item::Spectrum : Item::None;
    }
    for (std::size_t i = 0; i < n; ++i)
        m_raw.push(in[i]);
    m_sinceRaw += n;
    if (m_sinceRaw < kRawSamples) return Item::None;
    m_sinceRaw = 0;
    if (m_kind == 2) return room() ? Item::Raw : Item::None;
    if (m_rx.symbolCount() == m_lastScopeSymbol || !room()) return Item::None;
    m_lastScopeSymbol = m_rx.symbolCount();
    return Item::Phases;
}

void DisplayFeed::rawSamples(std::vector<float>& out) const {
    out.clear();
    for (uint64_t i = m_raw.begin(); i < m_raw.end(); ++i)
        out.push_back(m_raw.at(i));
}

} // namespace tavrel
