#include "modem/psk31/Search.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

// Share of a signal's power that must mirror about its centre (1 = perfectly symmetric; noise on a
// weak signal alone takes a little away).
constexpr double kMinSymmetry = 0.5;

} // namespace

SignalSearch::SignalSearch() : m_history(kLength, 0.0f), m_window(kLength), m_power(kLength / 2 + 1, 0.0) {
    m_in = fftwf_alloc_real(kLength);
    auto* out = fftwf_alloc_complex(kLength / 2 + 1);
    m_out = out;
    m_plan = fftwf_plan_dft_r2c_1d(static_cast<int>(kLength), m_in, out, FFTW_ESTIMATE);
    for (std::size_t i = 0; i < kLength; ++i)
        m_window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (i + 0.5) / kLength));
    // Working space, so a search never allocates.
    m_sorted.reserve(kLength / 2 + 1);
    m_score.reserve(kLength / 2 + 1);
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
    const long bins = kLength / 2 + 1;
    for (long k = 0; k < bins; ++k)
        m_power[k] = double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];

    const double binHz = rateHz / kLength;
    const auto bin = [&](double hz) { return std::lround(hz / binHz); };
    // A PSK31 signal holds most of its power within +/-17 Hz (the idle reversals' two tones
    // included) and nearly all within +/-35 Hz. Peaks closer than 8 Hz are one signal; between two
    // signals the spectrum falls well down within 45 Hz.
    const long core = bin(17.0), spread = bin(35.0), peak = bin(8.0), valley = bin(45.0),
               centroid = bin(25.0), close = bin(2.5);
    const long lo = bin(centreHz - rangeHz), hi = bin(centreHz + rangeHz);
    const long first = lo - valley - core, last = hi + valley + core;
    const long floorLo = std::max(0L, lo - 4 * spread), floorHi = std::min(bins - 1, hi + 4 * spread);
    if (first < 0 || last >= bins) return none;

    // Noise floor: a low quantile of the bins around, which signals rarely reach down to.
    m_sorted.assign(m_power.begin() + floorLo, m_power.begin() + floorHi + 1);
    std::nth_element(m_sorted.begin(), m_sorted.begin() + m_sorted.size() / 3, m_sorted.end());
    // Noise bins follow an exponential law, whose 1/3 quantile is ln(3/2) = 0.405 of its mean.
    const double floor = m_sorted[m_sorted.size() / 3] / 0.405;
    m_floor = floor;
    if (!(floor > 0.0)) return none;

    // Power in the core around every bin that may matter.
    const long from = first + core, to = last - core;
    m_score.assign(static_cast<std::size_t>(to - from + 1), 0.0);
    double sum = 0.0;
    for (long j = from - core; j <= from + core; ++j)
        sum += m_power[j];
    for (long k = from; k <= to; ++k) {
        m_score[k - from] = sum;
        if (k + core + 1 < bins) sum += m_power[k + core + 1] - m_power[k - core];
    }
    const auto score = [&](long k) { return m_score[k - from]; };

    Result best = none;
    double bestDistance = 1e300;
    for (long k = lo; k <= hi; ++k) {
        const double s = score(k);
        const double strength = s / (floor * (2 * core + 1)) - 1.0;
        if (strength < 1.0) continue;
        bool isPeak = true;
        for (long j = k - peak; j <= k + peak && isPeak; ++j)
            isPeak = j == k || (j < k ? score(j) < s : score(j) <= s);
        if (!isPeak) continue;
        // It must fall away on both sides: a rise towards a stronger station beside it is that
        // station's skirt, not a signal of its own.
        double left = s, right = s;
        for (long j = k - valley; j < k; ++j)
            left = std::min(left, score(j));
        for (long j = k + 1; j <= k + valley; ++j)
            right = std::min(right, score(j));
        if (std::max(left, right) > 0.6 * s) continue;
        // Refine to the centre of symmetry near the peak: where the power on the two sides matches
        // best. Every PSK31 spectrum is symmetric about its carrier (the idle reversals' two tones
        // included), while a neighbour's skirt lies on one side only and the smaller of each
        // mirrored pair of bins leaves it out.
        const auto symmetry = [&](long c) {
            double m = 0.5 * std::max(0.0, m_power[c] - floor);
            for (long j = 1; j <= centroid; ++j)
                m += std::max(0.0, std::min(m_power[c - j], m_power[c + j]) - floor);
            return m;
        };
        long c = k;
        double cm = symmetry(k);
        for (long j = k - peak; j <= k + peak; ++j) {
            const double m = symmetry(j);
            if (m > cm) {
                cm = m;
                c = j;
            }
        }
        // And symmetric it must be: where a neighbour's skirt lies on one side, the two sides of a
        // weak signal beside it cannot be told apart from the skirt, and its centre is not known.
        double total = std::max(0.0, m_power[c] - floor);
        for (long j = 1; j <= centroid; ++j)
            total += std::max(0.0, m_power[c - j] - floor) + std::max(0.0, m_power[c + j] - floor);
        if (2.0 * cm < kMinSymmetry * total) continue;
        const double ml = symmetry(c - 1), mr = symmetry(c + 1);
        const double curve = ml - 2.0 * cm + mr;
        const double centre =
            (c + (curve < 0.0 ? std::clamp(0.5 * (ml - mr) / curve, -0.5, 0.5) : 0.0)) * binHz;
        const double distance = std::abs(centre - centreHz);
        if (distance > rangeHz || distance >= bestDistance) continue;
        bestDistance = distance;
        best = {centre, strength};
    }
    return best;
}

double SignalSearch::lean(double hz, double rateHz) const {
    const double binHz = rateHz / kLength;
    const long c = std::lround(hz / binHz), core = std::lround(17.0 / binHz);
    if (c - core < 0 || c + core >= static_cast<long>(m_power.size())) return 0.0;
    double below = 0.0, above = 0.0;
    for (long j = 1; j <= core; ++j) {
        below += std::max(0.0, m_power[c - j] - m_floor);
        above += std::max(0.0, m_power[c + j] - m_floor);
    }
    return below + above > 0.0 ? (above - below) / (above + below) : 0.0;
}

} // namespace tavrel::psk31
