#pragma once
// Runs the band decoder (psk31/BandDecoder.h) for the signal browser on a thread of its own, so
// the main receiver on the audio thread never waits for it.
//
// The audio thread hands over a copy of each input block through a lock-free ring (feed(): never
// blocks, never allocates); a worker that has fallen four seconds behind loses blocks, not the
// audio thread time. Four times a second the worker reports every station heard, with the text
// decoded since the last report, through the callback (on the worker's thread).

#include "modem/HeardSignal.h"
#include "modem/audio/SpscRing.h"
#include "modem/psk31/BandDecoder.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace tavrel {

class BandWorker {
public:
    static constexpr std::size_t kBlock = 256;
    static constexpr int kReportMs = 250;
    using Report = std::function<void(std::vector<HeardSignal> heard)>;

    // Builds the decoder here (its FFT plans: see BandDecoder.h); the thread waits for start().
    explicit BandWorker(Report report);
    ~BandWorker();
    BandWorker(const BandWorker&) = delete;
    BandWorker& operator=(const BandWorker&) = delete;

    void start();
    // Ends the thread (no report comes after); the ring stays, so a late feed() is harmless.
    void stop();

    // Audio thread only: a copy of the input (8000 samples/s).
    void feed(const float* in, std::size_t n);

    // Any thread; the worker takes them up within a step.
    void setMode(int mode) { m_mode.store(mode, std::memory_order_relaxed); }
    void setRange(int lowHz, int highHz) {
        m_low.store(lowHz, std::memory_order_relaxed);
        m_high.store(highHz, std::memory_order_relaxed);
    }
    void setTrim(int ppm) { m_trim.store(ppm, std::memory_order_relaxed); }

private:
    struct Block {
        uint32_t n = 0;
        float samples[kBlock];
    };
    void run();
    void takeSettings();

    Report m_report;
    SpscRing<Block> m_ring{128}; // 4 s of audio
    std::atomic<int> m_mode{0}, m_low{0}, m_high{3000}, m_trim{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;

    // The worker's own.
    psk31::BandDecoder m_decoder;
    int m_usedMode = -1, m_usedLow = -1, m_usedHigh = -1, m_usedTrim = 0;
    std::vector<psk31::BandDecoder::Report> m_reports;
};

} // namespace tavrel
