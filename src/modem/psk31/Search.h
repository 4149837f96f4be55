#pragma once
// Finds the strongest PSK31 signal near a frequency in the last second of audio.

#include <cstddef>
#include <vector>

namespace tavrel::psk31 {

class SignalSearch {
public:
    static constexpr std::size_t kLength = 8192; // ~1 s at 8000 samples/s

    // Not thread-safe to construct or destroy alongside other FFTW plans (FFTW's planner is global).
    SignalSearch();
    ~SignalSearch();
    SignalSearch(const SignalSearch&) = delete;
    SignalSearch& operator=(const SignalSearch&) = delete;

    // Keeps the newest kLength samples.
    void push(const float* in, std::size_t n);

    struct Result {
        double hz = 0.0;       // centre of the signal found, or the centre asked about
        double strength = 0.0; // power in the signal's +/-25 Hz over the noise there (0 = nothing)
    };

    // The centre (Hz) of the strongest signal with a PSK31-like spread whose centre lies within
    // rangeHz of centreHz, or centreHz itself when nothing stands out of the noise.
    // `rateHz` is the true sample rate of the pushed audio.
    Result search(double centreHz, double rangeHz, double rateHz);
    double find(double centreHz, double rangeHz, double rateHz) {
        return search(centreHz, rangeHz, rateHz).hz;
    }

private:
    std::vector<float> m_history;
    std::size_t m_pos = 0;
    float* m_in = nullptr;
    void* m_out = nullptr;  // fftwf_complex[kLength / 2 + 1]
    void* m_plan = nullptr; // fftwf_plan
    std::vector<float> m_window;
    std::vector<double> m_power;
};

} // namespace tavrel::psk31
