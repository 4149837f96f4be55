#include "modem/psk31/Search.h"

#include "modem/psk31/Psk31.h"

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {
namespace {

constexpr double kApartHz = 20.0;
constexpr double kToneOverFloor = 8.0;
constexpr double kToneOverGap = 0.15;
constexpr double kAverageAlpha = 1.0 / 8.0; // looks come 2 to 4 a second: a mean over a few seconds
constexpr int kAverageLooks = 8;            // and it counts once it holds this many

} // namespace

SignalSearch::SignalSearch() : m_power(kLength / 2 + 1, 0.0), m_average(kLength / 2 + 1, 0.0) {
    // Working space, so a search never allocates.
    m_sorted.reserve(kLength / 2 + 1);
    m_score.reserve(kLength / 2 + 1);
}

void SignalSearch::push(const float* in, std::size_t n) {
    m_recent.push(in, n);
}

SignalSearch::Result SignalSearch::search(double centreHz, double rangeHz, double rateHz) {
    const Result none{centreHz, 0.0};
    m_floor = 0.0; // nothing to average until this search has read the spectrum
    // The receiver searches only with a range above 0 (a range of 0 is no search).
    if (!(rangeHz > 0.0) || !(rateHz > 0.0)) return none; // no-mutate: see above
    m_recent.transform();
    const long bins = kLength / 2 + 1;

    const double binHz = rateHz / kLength;
    const auto bin = [&](double hz) { return std::lround(hz / binHz); };
    // A PSK31 signal holds most of its power within +/-17 Hz (the idle reversals' two tones
    // included) and nearly all within +/-35 Hz. Peaks closer than 8 Hz are one signal; between two
    // signals the spectrum falls well down within 45 Hz.
    const long core = bin(17.0), spread = bin(35.0), peak = bin(8.0), valley = bin(45.0),
               centroid = bin(25.0), apart = bin(kApartHz);
    // Peaks are looked for a little beyond the range too, so a signal just outside it is known as
    // one and not taken for the one of its idle tones that lies inside.
    const long lo = bin(centreHz - rangeHz) - apart, hi = bin(centreHz + rangeHz) + apart;
    const long first = lo - std::max(valley, peak + centroid) - core,
               last = hi + std::max(valley, peak + centroid) + core;
    const long floorLo = std::max(0L, lo - 4 * spread), floorHi = std::min(bins - 1, hi + 4 * spread);
    if (first < 0 || last >= bins) return none;
    // Power in the bins that matter here only.
    m_powerFrom = std::min(first, floorLo);
    m_powerTo = std::max(last, floorHi);
    for (long k = m_powerFrom; k <= m_powerTo; ++k)
        m_power[k] = m_recent.power(k);

    // Noise floor: a low quantile of the bins around, which signals rarely reach down to.
    m_sorted.assign(m_power.begin() + floorLo, m_power.begin() + floorHi + 1);
    std::nth_element(m_sorted.begin(), m_sorted.begin() + m_sorted.size() / 3, m_sorted.end());
    // Noise bins follow an exponential law, whose 1/3 quantile is ln(3/2) = 0.405 of its mean.
    const double floor = m_sorted[m_sorted.size() / 3] / 0.405;
    m_floor = floor;
    if (!(floor > 0.0)) return none;

    m_range = {centreHz, rangeHz, binHz, lo, hi, first, last};
    return scan(m_power, floor);
}

SignalSearch::Result SignalSearch::averaged() {
    const Range& r = m_range;
    if (!(m_floor > 0.0) || r.last <= r.first) return {r.centreHz, 0.0};
    // A running mean of the looks at one place: the text's wandering centre and the noise settle.
    const bool fresh = m_averaged == 0 || r.centreHz != m_averageCentre || r.rangeHz != m_averageRange;
    m_averageCentre = r.centreHz;
    m_averageRange = r.rangeHz;
    m_averaged = fresh ? 1 : m_averaged + 1;
    const double alpha = std::max(kAverageAlpha, 1.0 / m_averaged);
    for (long k = m_powerFrom; k <= m_powerTo; ++k)
        m_average[k] = fresh ? m_power[k] : m_average[k] + alpha * (m_power[k] - m_average[k]);
    m_averageFloor = fresh ? m_floor : m_averageFloor + alpha * (m_floor - m_averageFloor);
    if (m_averaged < kAverageLooks) return {r.centreHz, 0.0};
    return scan(m_average, m_averageFloor);
}

SignalSearch::Result SignalSearch::scan(const std::vector<double>& power, double floor) {
    const Range& range = m_range;
    const double centreHz = range.centreHz, rangeHz = range.rangeHz, binHz = range.binHz;
    const long lo = range.lo, hi = range.hi, first = range.first, last = range.last;
    const Result none{centreHz, 0.0};
    const long bins = kLength / 2 + 1;
    const auto bin = [&](double hz) { return std::lround(hz / binHz); };
    const long core = bin(17.0), peak = bin(8.0), valley = bin(45.0), centroid = bin(25.0);
    // Power in the core around every bin that may matter.
    const long from = first + core, to = last - core;
    m_score.assign(static_cast<std::size_t>(to - from + 1), 0.0);
    double sum = 0.0;
    for (long j = from - core; j <= from + core; ++j)
        sum += power[j];
    for (long k = from; k <= to; ++k) {
        m_score[k - from] = sum;
        if (k + core + 1 < bins) sum += power[k + core + 1] - power[k - core];
    }
    const auto score = [&](long k) { return m_score[k - from]; };

    std::size_t found = 0;
    for (long k = lo; k <= hi && found < m_candidates.size(); ++k) {
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
            double m = 0.5 * std::max(0.0, power[c] - floor);
            for (long j = 1; j <= centroid; ++j)
                m += std::max(0.0, std::min(power[c - j], power[c + j]) - floor);
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
        double total = std::max(0.0, power[c] - floor);
        for (long j = 1; j <= centroid; ++j)
            total += std::max(0.0, power[c - j] - floor) + std::max(0.0, power[c + j] - floor);
        if (2.0 * cm < kMinSymmetry * total) continue;
        const double ml = symmetry(c - 1), mr = symmetry(c + 1);
        const double curve = ml - 2.0 * cm + mr;
        const double centre =
            (c + (curve < 0.0 ? std::clamp(0.5 * (ml - mr) / curve, -0.5, 0.5) : 0.0)) * binHz;
        Result r{centre, strength, false};
        // Idle reversals, as every transmission begins with, are two tones a baud apart: their
        // midpoint is the centre, however the text around them leans.
        const auto tone = [&](double hz, double& at) {
            long b = bin(hz);
            for (long j = bin(hz) - 2; j <= bin(hz) + 2; ++j)
                if (power[j] > power[b]) b = j;
            const double a = std::log(power[b - 1] + 1e-30), m = std::log(power[b] + 1e-30),
                         z = std::log(power[b + 1] + 1e-30);
            const double curve = a - 2.0 * m + z;
            at = (b + (curve < 0.0 ? std::clamp(0.5 * (a - z) / curve, -0.5, 0.5) : 0.0)) * binHz;
            return power[b];
        };
        double low = 0.0, high = 0.0;
        const double half = kBaud / 2.0;
        const double weaker = std::min(tone(centre - half, low), tone(centre + half, high));
        // Between the tones (text fills it) only noise.
        double between = 0.0;
        const long gapLo = bin(centre - 8.0), gapHi = bin(centre + 8.0);
        for (long j = gapLo; j <= gapHi; ++j)
            between += power[j] / (gapHi - gapLo + 1);
        if (weaker > kToneOverFloor * floor && between < kToneOverGap * weaker &&
            std::abs(high - low - kBaud) < 1.0) {
            r.hz = (low + high) / 2.0;
            r.reversals = true;
        }
        m_candidates[found++] = r;
    }
    // Peaks closer together than a PSK31 signal is wide belong to the strongest of them (an idle
    // signal's two tones each make one of their own).
    Result best = none;
    double bestDistance = 1e300;
    for (std::size_t i = 0; i < found; ++i) {
        const Result& r = m_candidates[i];
        bool outshone = false;
        for (std::size_t j = 0; j < found && !outshone; ++j)
            outshone =
                m_candidates[j].strength > r.strength && std::abs(m_candidates[j].hz - r.hz) < kApartHz;
        const double distance = std::abs(r.hz - centreHz);
        if (outshone || distance > rangeHz || distance >= bestDistance) continue;
        bestDistance = distance;
        best = r;
    }
    return best;
}

double SignalSearch::lean(double hz, double rateHz) const {
    const double binHz = rateHz / kLength;
    const long c = std::lround(hz / binHz), core = std::lround(17.0 / binHz);
    if (c - core < m_powerFrom || c + core > m_powerTo) return 0.0;
    double below = 0.0, above = 0.0;
    for (long j = 1; j <= core; ++j) {
        below += std::max(0.0, m_power[c - j] - m_floor);
        above += std::max(0.0, m_power[c + j] - m_floor);
    }
    return below + above > 0.0 ? (above - below) / (above + below) : 0.0;
}

} // namespace tavrel::psk31
