#include "modem/psk31/ChannelFilter.h"

#include "modem/psk31/Psk31.h"

#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

// The conditions the filter is best for. The noise sits where copy begins to fail, so the filter
// gives up nothing there; the neighbour is the strong station next door that a busy band brings.
constexpr double kDesignSnrDb = -12.0; // in 2500 Hz
constexpr double kNeighbourHz = 50.0;
constexpr double kNeighbourDb = 20.0;

} // namespace

std::vector<float> designChannelFilter(int samplesPerSymbol, int symbols) {
    const int n = samplesPerSymbol;
    const int taps = symbols * n + 1;
    const int centre = taps / 2;
    // The transmitted pulse 1/2 (1 + cos(pi t / T)), |t| <= T.
    const auto pulse = [n](int t) {
        return std::abs(t) > n ? 0.0 : 0.5 * (1.0 + std::cos(std::numbers::pi * t / n));
    };
    double power = 0.0; // mean power of the wanted signal a sample, for unit symbols
    for (int t = -n; t <= n; ++t)
        power += pulse(t) * pulse(t) / n;
    const double rate = n * kBaud;
    const double noise = power * (rate / 2500.0) / std::pow(10.0, kDesignSnrDb / 10.0);
    const double neighbour = std::pow(10.0, kNeighbourDb / 10.0);
    const double w = 2.0 * std::numbers::pi * kNeighbourHz / rate;
    const int reach = symbols / 2 + 2; // symbols on either side that touch the window

    // Correlation matrix of what the window sees: the wanted symbols, the neighbour's (at every
    // timing, on either side, so its turning phase leaves a cosine) and the noise.
    std::vector<double> r(static_cast<std::size_t>(taps) * taps);
    for (int a = 0; a < taps; ++a) {
        for (int b = 0; b <= a; ++b) {
            const int ta = a - centre, tb = b - centre;
            double own = 0.0, other = 0.0;
            for (int k = -reach; k <= reach; ++k) {
                own += pulse(ta - k * n) * pulse(tb - k * n);
                for (int tau = 0; tau < n; ++tau)
                    other += pulse(ta - k * n - tau) * pulse(tb - k * n - tau);
            }
            double v = own + neighbour * other / n * std::cos(w * (ta - tb));
            if (a == b) v += noise;
            r[a * taps + b] = r[b * taps + a] = v;
        }
    }
    // Solve R h = p (the wanted symbol's own pulse) by Cholesky: R is symmetric positive definite.
    for (int j = 0; j < taps; ++j) {
        double d = r[j * taps + j];
        for (int k = 0; k < j; ++k)
            d -= r[j * taps + k] * r[j * taps + k];
        d = std::sqrt(d);
        r[j * taps + j] = d;
        for (int i = j + 1; i < taps; ++i) {
            double s = r[i * taps + j];
            for (int k = 0; k < j; ++k)
                s -= r[i * taps + k] * r[j * taps + k];
            r[i * taps + j] = s / d;
        }
    }
    std::vector<double> h(taps);
    for (int i = 0; i < taps; ++i) {
        double s = pulse(i - centre);
        for (int k = 0; k < i; ++k)
            s -= r[i * taps + k] * h[k];
        h[i] = s / r[i * taps + i];
    }
    for (int i = taps - 1; i >= 0; --i) {
        double s = h[i];
        for (int k = i + 1; k < taps; ++k)
            s -= r[k * taps + i] * h[k];
        h[i] = s / r[i * taps + i];
    }
    double gain = 0.0;
    for (int i = 0; i < taps; ++i)
        gain += h[i] * pulse(i - centre);
    std::vector<float> out(taps);
    for (int i = 0; i < taps; ++i)
        out[i] = static_cast<float>(h[i] / gain);
    return out;
}

} // namespace tavrel::psk31
