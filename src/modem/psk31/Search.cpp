#include "modem/psk31/Search.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {

SignalSearch::SignalSearch() : m_history(kLength, 0.0f), m_window(kLength), m_power(kLength / 2 + 1, 0.0) {
    m_in = fftwf_alloc_real(kLength);
    auto* out = fftwf_alloc_complex(kLength / 2 + 1);
    m_out = out;
    m_plan = fftwf_plan_dft_r2c_1d(static_cast<int>(kLength), m_in, out, FFTW_ESTIMATE);
    for (std::size_t i = 0; i < kLength; ++i)
        m_window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (i + 0.5) / kLength));
}

SignalSearch::~SignalSearch() {
    fftwf_destroy_plan(static_cast<fftwf_plan>(m_plan));
    fftwf_free(m_in);
    fftwf_free(static_cast<fftwf_complex*>(m_out));
}

void SignalSearch::push(const float* in, std::size_t n) {
    if (n >= kLength) {
        in += n - kLength;
        n = kLength;
    }
    while (n > 0) {
        const std::size_t chunk = std::min(n, kLength - m_pos);
        std::copy(in, in + chunk, m_history.begin() + static_cast<std::ptrdiff_t>(m_pos));
        m_pos = (m_pos + chunk) % kLength;
        in += chunk;
        n -= chunk;
    }
}

SignalSearch::Result SignalSearch::search(double centreHz, double rangeHz, double rateHz) {
    const Result none{centreHz, 0.0};
    if (!(rangeHz > 0.0) || !(rateHz > 0.0)) return none;
    for (std::size_t i = 0; i < kLength; ++i)
        m_in[i] = m_history[(m_pos + i) % kLength] * m_window[i];
    fftwf_execute(static_cast<fftwf_plan>(m_plan));
    const auto* out = static_cast<const fftwf_complex*>(m_out);
    const std::size_t bins = kLength / 2 + 1;
    for (std::size_t k = 0; k < bins; ++k)
        m_power[k] = double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];

    const double binHz = rateHz / kLength;
    const auto bin = [&](double hz) {
        return static_cast<long>(std::clamp(std::lround(hz / binHz), 0L, static_cast<long>(bins) - 1));
    };
    const long half = std::lround(25.0 / binHz);   // a PSK31 signal holds most of its power in +/-25 Hz
    const long spread = std::lround(35.0 / binHz); // and nearly all of it in +/-35 Hz
    const long lo = bin(centreHz - rangeHz), hi = bin(centreHz + rangeHz);
    const long floorLo = std::max(0L, lo - 4 * spread), floorHi = std::min<long>(bins - 1, hi + 4 * spread);
    if (lo - half < 0 || hi + half >= static_cast<long>(bins)) return none;

    // Noise floor: a low quantile of the bins around, which signals rarely reach down to.
    std::vector<double> sorted(m_power.begin() + floorLo, m_power.begin() + floorHi + 1);
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 3, sorted.end());
    // Noise bins follow an exponential law, whose 1/3 quantile is ln(3/2) = 0.405 of its mean.
    const double floor = sorted[sorted.size() / 3] / 0.405;

    long best = -1;
    double bestScore = 0.0;
    for (long k = lo; k <= hi; ++k) {
        double score = 0.0;
        for (long j = k - half; j <= k + half; ++j)
            score += m_power[j];
        if (score > bestScore) {
            bestScore = score;
            best = k;
        }
    }
    // Require the band to stand clearly above the noise it would hold anyway.
    const double strength = floor > 0.0 ? bestScore / (floor * (2 * half + 1)) - 1.0 : 1e9;
    if (best < 0 || strength < 1.0) return none;

    // Refine to the power centroid, which is the centre for any symmetric PSK31 spectrum
    // (two tones of idle reversals included).
    double centre = best * binHz;
    for (int pass = 0; pass < 3; ++pass) {
        const long c = bin(centre);
        double sum = 0.0, moment = 0.0;
        for (long j = std::max(0L, c - spread); j <= std::min<long>(bins - 1, c + spread); ++j) {
            const double p = std::max(0.0, m_power[j] - floor);
            sum += p;
            moment += p * j * binHz;
        }
        if (sum <= 0.0) break;
        centre = moment / sum;
    }
    return {std::clamp(centre, centreHz - rangeHz, centreHz + rangeHz), strength};
}

} // namespace tavrel::psk31
