#pragma once
// Sample-rate conversion for a sound device that will not run at the modem's 8000 samples/s:
// a multi-stage arbitrary-ratio resampler with 60 dB stop-band rejection (liquid-dsp).

#include <cstddef>
#include <vector>

namespace tavrel {

class Resampler {
public:
    // Converts from `fromRate` to `toRate` samples/s.
    Resampler(double fromRate, double toRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    double ratio() const { return m_ratio; }
    // Appends the converted samples of in[0..n) to out; returns how many were appended.
    std::size_t process(const float* in, std::size_t n, std::vector<float>& out);

private:
    double m_ratio;
    void* m_q = nullptr;
    std::vector<float> m_buf;
};

} // namespace tavrel
