#pragma once
// The newest second of audio and its spectrum: a ring of the last kLength samples, transformed
// with a Hann window when asked. The receiver's signal search and the band scan both look at it.

#include <cstddef>
#include <vector>

namespace tavrel::psk31 {

class RecentSpectrum {
public:
    static constexpr std::size_t kLength = 8192; // ~1 s at 8000 samples/s
    static constexpr long kBins = kLength / 2 + 1;

    // Not thread-safe to construct or destroy alongside other FFTW plans (FFTW's planner is global).
    RecentSpectrum();
    ~RecentSpectrum();
    RecentSpectrum(const RecentSpectrum&) = delete;
    RecentSpectrum& operator=(const RecentSpectrum&) = delete;

    // Keeps the newest kLength samples.
    void push(const float* in, std::size_t n);
    // Copies them, oldest first, to out[0..kLength).
    void copyRecent(float* out) const;
    // Transforms them, oldest first, windowed; never allocates.
    void transform();
    // The power in bin k (0..kBins) of the last transform.
    double power(long k) const;

private:
    std::vector<float> m_history;
    std::size_t m_pos = 0;
    std::vector<float> m_window;
    float* m_in = nullptr;
    void* m_out = nullptr;  // fftwf_complex[kBins]
    void* m_plan = nullptr; // fftwf_plan
};

} // namespace tavrel::psk31
