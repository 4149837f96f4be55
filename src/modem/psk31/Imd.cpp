#include "modem/psk31/Imd.h"

#include "modem/psk31/Psk31.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

// |DFT|^2 of the Hann-windowed block at one frequency.
double binPower(const std::complex<float>* x, std::size_t n, double hz, double rateHz) {
    const double w = -2.0 * std::numbers::pi * hz / rateHz;
    const std::complex<double> step{std::cos(w), std::sin(w)};
    std::complex<double> rot{1.0, 0.0};
    std::complex<double> acc{0.0, 0.0};
    for (std::size_t i = 0; i < n; ++i) {
        const double win = hannWindow(i, n);
        acc += win * std::complex<double>(x[i]) * rot;
        rot *= step;
    }
    return std::norm(acc);
}

} // namespace

ImdMeasurement measureImd(const std::complex<float>* x, std::size_t n, double rateHz) {
    constexpr double kTone = 15.625;
    const double tones = binPower(x, n, kTone, rateHz) + binPower(x, n, -kTone, rateHz);
    const double products = binPower(x, n, 3 * kTone, rateHz) + binPower(x, n, -3 * kTone, rateHz);
    double noise = 0.0;
    for (double f : {0.0, 2 * kTone, -2 * kTone, 4 * kTone, -4 * kTone})
        noise += binPower(x, n, f, rateHz);
    noise /= 5.0;

    double sumW = 0.0, sumW2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double win = hannWindow(i, n);
        sumW += win;
        sumW2 += win * win;
    }
    // Tone power from its bin, noise variance per sample from the noise bins.
    const double signalPower = tones / (sumW * sumW);
    const double noiseVariance = std::max(noise / sumW2, 1e-30);
    ImdMeasurement m;
    m.channelSnrDb = 10.0 * std::log10(std::max(signalPower * rateHz / (noiseVariance * 2500.0), 1e-30));
    const double clean = std::max(products - 2.0 * noise, noise);
    m.imdDb = 10.0 * std::log10(std::max(clean, 1e-30) / std::max(tones, 1e-30));
    return m;
}

} // namespace tavrel::psk31
