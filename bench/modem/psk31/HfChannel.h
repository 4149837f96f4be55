#pragma once
// A simulated short-wave channel for the modem's benchmarks: the Watterson model of ITU-R F.1487
// (two independent Rayleigh-fading paths of equal mean power, each with a Gaussian Doppler power
// spectrum, the second delayed), a second PSK31 station beside the wanted one, and a sound card
// whose sample clock runs off its nominal rate.
//
// Written from the model's public description: a path's gain is complex Gaussian noise with a
// Gaussian power spectrum of standard deviation sigma; the "frequency spread" of a profile is
// 2 sigma. Header-only so the statistics test can use it without the benchmarks being built.

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace tavrel::psk31::sim {

struct FadingProfile {
    const char* name;
    double delayMs;  // delay of the second path
    double spreadHz; // frequency spread (twice the standard deviation of the Doppler spectrum)
};

inline constexpr FadingProfile kCcirGood{"Good", 0.5, 0.1};
inline constexpr FadingProfile kCcirModerate{"Moderate", 1.0, 0.5};
inline constexpr FadingProfile kCcirPoor{"Poor", 2.0, 1.0};
inline constexpr FadingProfile kCcirFlutter{"Flutter", 0.5, 10.0};

// The gain of one Rayleigh-fading path, one value per output sample: complex Gaussian with mean
// power 1 and a Gaussian Doppler spectrum. White complex Gaussian noise at a low rate (32 samples
// per Hz of spread) goes through a Gaussian FIR filter, and the result is interpolated (Catmull-Rom)
// up to the output rate.
class RayleighFader {
public:
    RayleighFader(double spreadHz, double outputRate, uint32_t seed) : m_rng(seed) {
        if (!(spreadHz > 0.0)) return;
        const double sigma = spreadHz / 2.0;
        const double tapRate = 32.0 * spreadHz;
        // |H(f)|^2 = exp(-f^2 / (2 sigma^2)) is the impulse response exp(-t^2 / (2 tau^2)) with
        // tau = 1 / (2 sqrt(2) pi sigma).
        const double tau = tapRate / (2.0 * std::sqrt(2.0) * std::numbers::pi * sigma);
        const int half = static_cast<int>(std::ceil(4.0 * tau));
        double energy = 0.0;
        for (int k = -half; k <= half; ++k) {
            const double h = std::exp(-0.5 * k * k / (tau * tau));
            m_taps.push_back(h);
            energy += h * h;
        }
        for (double& h : m_taps)
            h /= std::sqrt(energy);
        m_noise.assign(2 * m_taps.size(), {0.0, 0.0});
        for (std::size_t k = 0; k < m_taps.size(); ++k)
            m_noise[k] = m_noise[k + m_taps.size()] = gauss();
        m_step = tapRate / outputRate;
        for (auto& p : m_points)
            p = nextTap();
    }

    std::complex<double> next() {
        if (m_taps.empty()) return {1.0, 0.0};
        while (m_t >= 1.0) {
            m_t -= 1.0;
            std::rotate(m_points.begin(), m_points.begin() + 1, m_points.end());
            m_points.back() = nextTap();
        }
        const double t = m_t, t2 = t * t, t3 = t2 * t;
        const auto& p = m_points;
        const std::complex<double> g =
            0.5 * (2.0 * p[1] + (p[2] - p[0]) * t + (2.0 * p[0] - 5.0 * p[1] + 4.0 * p[2] - p[3]) * t2 +
                   (3.0 * p[1] - p[0] - 3.0 * p[2] + p[3]) * t3);
        m_t += m_step;
        return g;
    }

private:
    std::complex<double> gauss() {
        // Unit mean power: each of the two parts has variance 1/2.
        return {m_gauss(m_rng) * std::numbers::sqrt2 / 2.0, m_gauss(m_rng) * std::numbers::sqrt2 / 2.0};
    }
    std::complex<double> nextTap() {
        const std::size_t n = m_taps.size();
        m_noise[m_pos] = m_noise[m_pos + n] = gauss();
        m_pos = (m_pos + 1) % n;
        double re = 0.0, im = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
            re += m_taps[k] * m_noise[m_pos + k].real();
            im += m_taps[k] * m_noise[m_pos + k].imag();
        }
        return {re, im};
    }

    std::mt19937 m_rng;
    std::normal_distribution<double> m_gauss{0.0, 1.0};
    std::vector<double> m_taps;
    std::vector<std::complex<double>> m_noise; // a ring, written twice so it reads straight on
    std::size_t m_pos = 0;
    std::array<std::complex<double>, 4> m_points{}; // interpolation between [1] and [2]
    double m_step = 0.0;
    double m_t = 0.0;
};

// The analytic signal of real audio (a 127-tap Hilbert transformer, Blackman window; flat within
// 0.05 dB from 150 Hz to 3850 Hz at 8000 samples/s), aligned with the input.
inline std::vector<std::complex<double>> analytic(const std::vector<float>& x) {
    constexpr int kHalf = 63;
    std::array<double, kHalf + 1> h{}; // odd taps only; h[k] for lag k
    for (int k = 1; k <= kHalf; k += 2) {
        const double w = 0.42 + 0.5 * std::cos(std::numbers::pi * k / (kHalf + 1)) +
                         0.08 * std::cos(2.0 * std::numbers::pi * k / (kHalf + 1));
        h[k] = 2.0 / (std::numbers::pi * k) * w;
    }
    const auto n = static_cast<long>(x.size());
    std::vector<std::complex<double>> out(x.size());
    for (long i = 0; i < n; ++i) {
        double im = 0.0;
        for (int k = 1; k <= kHalf; k += 2) {
            const double ahead = i + k < n ? x[i + k] : 0.0;
            const double behind = i - k >= 0 ? x[i - k] : 0.0;
            im += h[k] * (behind - ahead);
        }
        out[i] = {x[i], im};
    }
    return out;
}

// The Watterson channel: y = Re{ (g1(t) s(t) + g2(t) s(t - delay)) / sqrt(2) } for the analytic
// signal s, with independent path gains g1, g2. Mean power gain 1. A profile with no spread leaves
// the audio as it is.
inline std::vector<float> watterson(const std::vector<float>& audio, const FadingProfile& profile,
                                    double rate, uint32_t seed) {
    if (!(profile.spreadHz > 0.0)) return audio;
    const std::vector<std::complex<double>> s = analytic(audio);
    RayleighFader a(profile.spreadHz, rate, seed), b(profile.spreadHz, rate, seed ^ 0x9e3779b9u);
    const auto delay = static_cast<std::size_t>(std::lround(profile.delayMs * 1e-3 * rate));
    std::vector<float> out(audio.size());
    for (std::size_t i = 0; i < audio.size(); ++i) {
        const std::complex<double> late = i >= delay ? s[i - delay] : std::complex<double>{};
        out[i] = static_cast<float>((a.next() * s[i] + b.next() * late).real() / std::numbers::sqrt2);
    }
    return out;
}

// What a sound card whose clock runs `ppm` fast makes of audio sampled at the nominal rate: every
// frequency and the baud come out lower by that fraction. Windowed-sinc interpolation (32 taps).
inline std::vector<float> resampleClock(const std::vector<float>& audio, double ppm) {
    if (ppm == 0.0) return audio;
    const double step = 1.0 / (1.0 + ppm * 1e-6);
    constexpr int kHalf = 16;
    const auto n = static_cast<long>(audio.size());
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(n * step) + 1);
    for (double t = 0.0; t < n; t += step) {
        const auto i0 = static_cast<long>(std::floor(t));
        double sum = 0.0;
        for (long i = i0 - kHalf + 1; i <= i0 + kHalf; ++i) {
            if (i < 0 || i >= n) continue;
            const double d = t - i;
            const double sinc = d == 0.0 ? 1.0 : std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            const double w = 0.5 + 0.5 * std::cos(std::numbers::pi * d / kHalf);
            sum += audio[i] * sinc * w;
        }
        out.push_back(static_cast<float>(sum));
    }
    return out;
}

// Adds white Gaussian noise for `snrDb` in 2500 Hz against a signal of mean power `signalPower`.
inline void addWhiteNoise(std::vector<float>& audio, double signalPower, double snrDb, double rate,
                          uint32_t seed) {
    const double sigma = std::sqrt(signalPower / std::pow(10.0, snrDb / 10.0) * (rate / 2.0) / 2500.0);
    std::mt19937 rng(seed);
    std::normal_distribution<float> gauss(0.0f, static_cast<float>(sigma));
    for (float& s : audio)
        s += gauss(rng);
}

// Adds `other` scaled by `gain`, its first sample landing on audio[at] (`at` may be negative: the
// other station started before the start of `audio`). What falls outside `audio` is left out.
inline void mixIn(std::vector<float>& audio, const std::vector<float>& other, long at, double gain) {
    for (std::size_t j = 0; j < other.size(); ++j) {
        const long i = at + static_cast<long>(j);
        if (i >= 0 && i < static_cast<long>(audio.size())) audio[i] += static_cast<float>(gain * other[j]);
    }
}

} // namespace tavrel::psk31::sim
