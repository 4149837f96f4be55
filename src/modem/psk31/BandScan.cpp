#include "modem/psk31/BandScan.h"

#include "modem/psk31/Psk31.h"

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {
namespace {

constexpr double kCoreHz = 20.0;     // both tones of idle reversals lie inside
constexpr double kPeakHz = 10.0;     // a peak is the highest core power within this
constexpr double kSymmetryHz = 25.0; // how far out the two sides are compared
constexpr double kFloorSpanHz = 400.0;
constexpr double kSegmentHz = 100.0;
constexpr double kMeanAlpha = 0.25; // looks come twice a second: a mean over about two seconds
constexpr int kFirstReport = 3;     // looks in the mean before it is trusted (noise alone reaches
                                    // the threshold now and then in one look)
// Bins of noise alone in the running mean: their lower quartile as a share of their mean, by the
// number of looks in it (one look is exponential; the settled mean has about 14 degrees of freedom).
constexpr double kQuartileShare[] = {0.288, 0.48, 0.576, 0.634, 0.67, 0.70, 0.726};

} // namespace

BandScan::BandScan()
    : m_rate(kSampleRate), m_power(kLength / 2 + 1, 0.0), m_mean(kLength / 2 + 1, 0.0),
      m_score(kLength / 2 + 1, 0.0) {
    m_floors.reserve(kLength / 2 + 1);
    m_sorted.reserve(kLength / 2 + 1);
    m_found.reserve(kLength / 2 + 1);
    setRange(m_low, m_high);
}

void BandScan::setRange(double lowHz, double highHz) {
    if (!std::isfinite(lowHz)) lowHz = kMinCarrierHz;
    if (!std::isfinite(highHz)) highHz = kMaxCarrierHz;
    if (highHz < lowHz) std::swap(lowHz, highHz);
    m_low = std::clamp(lowHz, kMinCarrierHz, kMaxCarrierHz);
    m_high = std::clamp(highHz, kMinCarrierHz, kMaxCarrierHz);
    const double binHz = m_rate / kLength;
    const long bins = kLength / 2 + 1;
    const long margin = std::lround((kFloorSpanHz / 2 + kCoreHz + kPeakHz) / binHz);
    m_first = std::max(0L, std::lround(m_low / binHz) - margin);
    m_last = std::min(bins - 1, std::lround(m_high / binHz) + margin);
    m_segment = std::max(1L, std::lround(kSegmentHz / binHz));
    m_looks = 0;
}

void BandScan::setTrim(int ppm) {
    m_rate = trimmedRate(ppm);
    setRange(m_low, m_high);
}

double BandScan::strengthNow(double hz) const {
    if (m_looks == 0 || m_floors.empty() || !std::isfinite(hz)) return 0.0;
    const double binHz = m_rate / kLength;
    const long core = std::lround(kCoreHz / binHz), c = std::lround(hz / binHz);
    if (c - core < m_first || c + core > m_last) return 0.0;
    double sum = 0.0;
    for (long j = c - core; j <= c + core; ++j)
        sum += m_power[j];
    // The floor is the noise's mean power a bin, the same in one look as in the mean.
    const double floor = floorAt(c);
    return floor > 0.0 ? sum / (floor * (2 * core + 1)) - 1.0 : 0.0;
}

double BandScan::floorAt(long bin) const {
    const auto i = static_cast<std::size_t>((bin - m_first) / m_segment);
    return m_floors[std::min(i, m_floors.size() - 1)];
}

std::size_t BandScan::look(Signal* out, std::size_t max) {
    m_recent.transform();
    const double alpha = std::max(kMeanAlpha, 1.0 / (m_looks + 1));
    for (long k = m_first; k <= m_last; ++k) {
        const double p = m_recent.power(k);
        m_power[k] = p;
        m_mean[k] = m_looks == 0 ? p : m_mean[k] + alpha * (p - m_mean[k]);
    }
    ++m_looks;

    const double binHz = m_rate / kLength;
    const auto bins = [&](double hz) { return std::lround(hz / binHz); };
    const long core = bins(kCoreHz), peak = bins(kPeakHz), side = bins(kSymmetryHz),
               half = bins(kFloorSpanHz / 2);

    // The noise floor, segment by segment: the lower quartile of the bins around, which the signals
    // in a crowded band still leave to the noise.
    const double share = kQuartileShare[std::min<std::size_t>(m_looks, std::size(kQuartileShare)) - 1];
    m_floors.clear();
    for (long from = m_first; from <= m_last; from += m_segment) {
        const long mid = from + m_segment / 2;
        const long lo = std::max(m_first, mid - half), hi = std::min(m_last, mid + half);
        m_sorted.assign(m_mean.begin() + lo, m_mean.begin() + hi + 1);
        const auto q = m_sorted.begin() + static_cast<std::ptrdiff_t>(m_sorted.size() / 4);
        std::nth_element(m_sorted.begin(), q, m_sorted.end());
        m_floors.push_back(*q / share);
    }

    // Power within the core around each bin.
    double sum = 0.0;
    for (long j = m_first; j <= m_first + 2 * core && j <= m_last; ++j)
        sum += m_mean[j];
    for (long k = m_first + core; k + core <= m_last; ++k) {
        m_score[k] = sum;
        if (k + core + 1 <= m_last) sum += m_mean[k + core + 1] - m_mean[k - core];
    }

    if (m_looks < kFirstReport) return 0;
    const long lo = std::max(bins(m_low), m_first + core + peak + side),
               hi = std::min(bins(m_high), m_last - core - peak - side);
    m_found.clear();
    for (long k = lo; k <= hi; ++k) {
        const double s = m_score[k];
        const double floor = floorAt(k);
        if (!(floor > 0.0)) continue;
        const double strength = s / (floor * (2 * core + 1)) - 1.0;
        if (strength < kMinStrength) continue;
        bool isPeak = true;
        for (long j = k - peak; j <= k + peak && isPeak; ++j)
            isPeak = j == k || (j < k ? m_score[j] < s : m_score[j] <= s);
        if (!isPeak) continue;
        // The centre is where the two sides mirror best: the core's flat top (idle reversals, text)
        // does not show it, and a neighbour's skirt on one side does not mirror at all.
        const auto mirrored = [&](long c) {
            double m = 0.5 * std::max(0.0, m_mean[c] - floor);
            for (long j = 1; j <= side; ++j)
                m += std::max(0.0, std::min(m_mean[c - j], m_mean[c + j]) - floor);
            return m;
        };
        long c = k;
        double cm = mirrored(k);
        for (long j = k - peak; j <= k + peak; ++j)
            if (const double m = mirrored(j); m > cm) {
                cm = m;
                c = j;
            }
        double total = std::max(0.0, m_mean[c] - floor);
        for (long j = 1; j <= side; ++j)
            total += std::max(0.0, m_mean[c - j] - floor) + std::max(0.0, m_mean[c + j] - floor);
        if (2.0 * cm < kMinSymmetry * total) continue;
        const double ml = mirrored(c - 1), mr = mirrored(c + 1);
        const double curve = ml - 2.0 * cm + mr;
        const double at = c + (curve < 0.0 ? std::clamp(0.5 * (ml - mr) / curve, -0.5, 0.5) : 0.0);
        m_found.push_back({at * binHz, strength});
    }

    // Strongest first; a weaker one within kApartHz of a stronger one is part of it.
    std::sort(m_found.begin(), m_found.end(),
              [](const Signal& a, const Signal& b) { return a.strength > b.strength; });
    std::size_t n = 0;
    for (const Signal& f : m_found) {
        if (n == max) break;
        bool near = false;
        for (std::size_t i = 0; i < n && !near; ++i)
            near = std::abs(out[i].hz - f.hz) < kApartHz;
        if (!near) out[n++] = f;
    }
    return n;
}

} // namespace tavrel::psk31
