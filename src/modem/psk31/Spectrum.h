#pragma once
// Power spectrum frames for the waterfall and spectrum displays.
//
// Every `hop` input samples (default 512: 15.6 frames/s at 8000 samples/s) the newest `fftSize`
// samples (default 4096: ~2 Hz resolution) are Hann-windowed and transformed; the power between the
// chosen low and high frequency is resampled onto the caller's number of bins (each bin keeps the
// strongest FFT bin it covers, so narrow signals stay visible when zoomed out) and given in dB, where
// 0 dB is a full-scale sine (amplitude 1.0). No allocation in process(); construct and destroy on one
// thread at a time with other FFTW users.

#include "core/HistoryRing.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrel::psk31 {

class Spectrum {
public:
    static constexpr std::size_t kMaxQueuedFrames = 8;
    static constexpr float kFloorDb = -200.0f;

    explicit Spectrum(std::size_t fftSize = 4096, std::size_t hop = 512);
    ~Spectrum();
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    // Display span in Hz (swapped if given backwards; clamped to 0..Nyquist) and the number of bins a
    // frame holds (at least 1). Drops queued frames. Allocates: call it from the control side.
    void setRange(double lowHz, double highHz, std::size_t bins);
    // Sound-card clock error in ppm, so the Hz of the bins are true.
    void setTrim(int ppm);

    double lowHz() const { return m_low; }
    double highHz() const { return m_high; }
    std::size_t bins() const { return m_bins; }

    // Feeds audio at 8000 samples/s; completed frames queue up (at most kMaxQueuedFrames, the oldest
    // dropped).
    void process(const float* in, std::size_t n);

    std::size_t framesReady() const;
    // Copies the oldest frame (bins() values, dB) to out and drops it; false when none is ready.
    bool takeFrame(float* out);

private:
    void makeFrame();

    std::size_t m_size;
    std::size_t m_hop;
    double m_rate;
    double m_low = 0.0;
    double m_high = 4000.0;
    std::size_t m_bins = 0;

    std::vector<float> m_history; // ring of the newest m_size samples
    std::size_t m_pos = 0;
    std::size_t m_sinceFrame = 0;
    std::vector<float> m_window;
    double m_reference = 1.0;
    float* m_in = nullptr;
    void* m_out = nullptr;
    void* m_plan = nullptr;
    std::vector<float> m_power;

    HistoryRing<std::vector<float>> m_frames{kMaxQueuedFrames}; // each bins() values
    uint64_t m_nextFrame = 0;                                   // number of the oldest frame not taken yet
};

} // namespace tavrel::psk31
