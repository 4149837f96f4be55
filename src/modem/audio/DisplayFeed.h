#pragma once
// What the display is sent from the received audio, and how often: spectrum frames (spectrum,
// waterfall, carpet), the raw waveform every 512 samples, or the phase scope once per new symbol.
// At most kInFlight items wait to be drawn; the UI thread acknowledges each (taken()), and items
// made while none is free are dropped, so a slow display never piles up work.
//
// The carpet spans the 200 Hz around the receive frequency and follows it once it has wandered a
// quarter of the half span off the middle. Plain C++ on the audio thread, but taken() comes from
// the UI thread; build it where the other FFT users are built.

#include "core/HistoryRing.h"
#include "modem/psk31/Receiver.h"
#include "modem/psk31/Spectrum.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrel {

class DisplayFeed {
public:
    static constexpr int kInFlight = 3;
    static constexpr int kCarpetHalfSpanHz = 100;
    static constexpr std::size_t kRawSamples = 512;

    enum class Item { None, Spectrum, Raw, Phases };

    // `rx` is the live decoder: its frequency for the carpet, its symbols for the scope.
    explicit DisplayFeed(const psk31::Receiver& rx);

    void setKind(int kind); // 0 spectrum, 1 waterfall, 2 raw, 3 scope, 4 carpet
    void setRange(int lowHz, int highHz);
    void setBins(int bins);
    void setTrim(int ppm) { m_spectrum.setTrim(ppm); }
    // The receive frequency was set: the carpet moves with it.
    void rxMoved();

    // UI thread: one item has been drawn.
    void taken() { m_inFlight.fetch_sub(1, std::memory_order_relaxed); }

    // Received audio at 8000/s; returns the item to send now, if any (it counts as in flight).
    Item feed(const float* in, std::size_t n);

    // The item's data.
    const std::vector<float>& frame() const { return m_frame; }
    double frameLowHz() const { return m_spectrum.lowHz(); }
    double frameHighHz() const { return m_spectrum.highHz(); }
    void rawSamples(std::vector<float>& out) const; // the newest kRawSamples, oldest first

private:
    void configure();
    bool room();

    const psk31::Receiver& m_rx;
    psk31::Spectrum m_spectrum;
    std::atomic<int> m_inFlight{0};
    int m_kind = 1;
    int m_low = 0, m_high = 3000;
    int m_bins = 512;
    double m_carpetCentre = 0.0;
    std::vector<float> m_frame;
    HistoryRing<float> m_raw{kRawSamples};
    std::size_t m_sinceRaw = 0;
    uint64_t m_lastScopeSymbol = 0;
};

} // namespace tavrel
