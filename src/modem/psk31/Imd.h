#pragma once
// IMD of the idle signal (continuous reversals = two tones at fc +/- 15.625 Hz):
// IMD dB = 10 log10( P(fc +/- 46.875) / P(fc +/- 15.625) ), each pair summed.

#include <complex>
#include <cstddef>
#include <optional>

namespace tavrel::psk31 {

struct ImdMeasurement {
    double imdDb = 0.0;      // noise-corrected; never reads better than the noise in the product bins
    double channelSnrDb = 0; // tone power against the noise in 2500 Hz
};

// Measures a block of complex baseband centred on the carrier (`rateHz` samples/s, n samples, the
// block spanning a whole number of symbols for clean bins). The noise is read in the bins at
// 0, +/-31.25 and +/-62.5 Hz, where a two-tone and its odd-order products put nothing.
ImdMeasurement measureImd(const std::complex<float>* x, std::size_t n, double rateHz);

// Readings on a weak signal measure noise: below this channel SNR there is no reading.
inline constexpr double kImdMinSnrDb = 20.0;

} // namespace tavrel::psk31
