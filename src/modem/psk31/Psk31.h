#pragma once
// Shared facts of the PSK31 modem: rates, modes and the QPSK phase table.

#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <numbers>

namespace tavrel::psk31 {

// All audio in and out of the modem runs at this nominal rate.
inline constexpr double kSampleRate = 8000.0;
inline constexpr double kBaud = 31.25;
inline constexpr int kSamplesPerSymbol = 256; // at kSampleRate

inline constexpr double kMinCarrierHz = 200.0;
inline constexpr double kMaxCarrierHz = 3500.0;

inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The Hann window's weight for sample i of n, sampled at the middle of each sample.
inline double hannWindow(std::size_t i, std::size_t n) {
    return 0.5 - 0.5 * std::cos(kTwoPi * (static_cast<double>(i) + 0.5) / static_cast<double>(n));
}

// Share of a signal's power that must mirror about its centre for it to count as a PSK31 signal
// (1 = perfectly symmetric; noise on a weak signal alone takes a little away).
inline constexpr double kMinSymmetry = 0.5;

// The values the host writes to the mode operation.
enum class Mode : int { Bpsk = 0, QpskUsb = 1, QpskLsb = 2 };

// Any integer maps to a mode; unknown values fall back to BPSK so a bad write never breaks the modem.
Mode modeFromInt(int value);
inline bool isQpsk(Mode m) {
    return m != Mode::Bpsk;
}

// QPSK: the encoder output pair (g0,g1) chosen as 2*g0+g1 selects the phase change of a symbol on the
// upper sideband. 00 is a reversal and 01 keeps the phase; the pair that advances the phase by +90
// degrees is held in this one constant (the other of 10/11 retards it), so the sign convention can be
// flipped in one place.
inline constexpr unsigned kQpskPairPlus90 = 3; // (g0,g1) = (1,1)

// The phase change (as a unit phasor) for an encoder output pair on the upper sideband.
std::complex<float> qpskPhaseChange(unsigned pair);

// Sound-card clock trim: the host's TrimValue (-1000..1000) is the card's clock error in parts per
// million, i.e. the real sample rate is kSampleRate * (1 + trim * 1e-6). Values outside are clamped.
int clampTrim(int trimPpm);
inline double trimmedRate(int trimPpm) {
    return kSampleRate * (1.0 + clampTrim(trimPpm) * 1e-6);
}

} // namespace tavrel::psk31
