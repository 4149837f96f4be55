#include "modem/psk31/Receiver.h"

#include "modem/psk31/Imd.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr float kQualityAlpha = 1.0f / 8.0f;                           // ~0.25 s
constexpr float kQualityBias = kQualityAlpha / (2.0f - kQualityAlpha); // |mean|^2 of noise phasors
constexpr double kTimingAlpha = 1.0 / 512.0;                           // ~1 s of symbol-rate line
constexpr double kTimingGain = 0.25;
// Mean cosine between noise and the Viterbi decoder's own re-encoded decisions (measured: 0.50 with
// the per-survivor references). The decoder picks the path that best fits the noise, so noise never
// reads 0 here.
constexpr float kQpskNoiseAgreement = 0.50f;
// Quality above which the decoder counts as locked (QPSK's decoded agreement is the surer sign, so it
// may ask for more).
constexpr float kLockedQuality = 0.1f;
constexpr float kQpskLockedQuality = 0.2f;
constexpr int kCoarseEvery = 8;        // symbols between looks at the spectrum while acquiring
constexpr int kLockedCoarseEvery = 32; // and while locked: whole fresh seconds, so two looks agree by
                                       // more than chance
constexpr int kCoarseSettle = 32;      // symbols after a restart before the first look: a fresh second
constexpr double kCoarseSpanHz = 25.0;
// Acquiring ends within this offset; tracking is overridden beyond the other.
constexpr double kUnlockedJumpHz = 3.0;
constexpr double kLockedJumpHz = 5.0;
constexpr double kUnlockedGain = 0.03;
constexpr int kRelookSymbols = 96;
constexpr int kUnlockHoldSymbols = 24;
constexpr int kSolidLockSymbols = 32;         // decodes cleanly though the spectrum shows nothing
constexpr double kMaxDriftHzPerSymbol = 0.05; // 1.6 Hz/s
constexpr float kReferenceMemory = 0.7f;
constexpr float kTurnAlpha = 1.0f / 32.0f;
constexpr int kImdFirst = 40; // reversals before the first reading: the window lies wholly in idle
constexpr int kImdEvery = 32;

float unbiased(std::complex<float> mean) {
    return std::clamp((std::norm(mean) - kQualityBias) / (1.0f - kQualityBias), 0.0f, 1.0f);
}

} // namespace

Receiver::Receiver() {
    // Decimating low-pass: flat to beyond +/-100 Hz (IMD products sit at +/-47 Hz), and everything
    // that would fold into +/-100 Hz at 500 samples/s is at least 70 dB down.
    liquid_firdes_kaiser(kDecTaps, 240.0f / 8000.0f, 70.0f, 0.0f, m_decTaps.data());
    float sum = 0.0f;
    for (float t : m_decTaps)
        sum += t;
    for (float& t : m_decTaps)
        t /= sum;

    // Matched filter: the symbol pulse 1/2 (1 + cos(pi t / T)), |t| <= T, at 16 samples a symbol.
    sum = 0.0f;
    for (int i = 0; i < kMatchedTaps; ++i) {
        m_mfTaps[i] = static_cast<float>(0.5 * (1.0 + std::cos(std::numbers::pi * (i - 16) / 16.0)));
        sum += m_mfTaps[i];
    }
    for (float& t : m_mfTaps)
        t /= sum;

    // The pulse through its matched filter overlaps each neighbour symbol by about 1/6. The
    // zero-forcing inverse of 1 + a/2 (z + 1/z) costs only ~0.26 dB of noise and removes it.
    double e0 = 0.0, e1 = 0.0;
    for (int i = 0; i < kMatchedTaps; ++i) {
        e0 += double(m_mfTaps[i]) * m_mfTaps[i];
        if (i + 16 < kMatchedTaps) e1 += double(m_mfTaps[i]) * m_mfTaps[i + 16];
    }
    const double a = 2.0 * e1 / e0;
    const double root = std::sqrt(1.0 - a * a);
    const double r = (1.0 - root) / a;
    for (int k = 0; k < kEqTaps; ++k)
        m_eq[k] = static_cast<float>(std::pow(-r, std::abs(k - kEqTaps / 2)) / root);

    updateNco();
}

void Receiver::setMode(Mode mode) {
    m_mode = mode;
    resetDecoder();
    m_afcSymbols = 0;
    m_afcTracking = false;
    m_afcDrift = 0.0;
    m_unlockedSymbols = kUnlockHoldSymbols;
}

void Receiver::resetDecoder() {
    m_viterbi.reset();
    m_reEncoder.reset();
    m_symbols = 0;
    m_reference = {0.0f, 0.0f};
    m_turn = {1.0f, 0.0f};
    m_zScale = 0.0f;
    m_agreement = 0.0f;
    m_coherence = {0.0f, 0.0f};
    m_varicode.reset();
    m_reversals = 0;
}

void Receiver::setFrequency(double hz) {
    double f = std::clamp(std::isfinite(hz) ? hz : 1000.0, kMinCarrierHz, kMaxCarrierHz);
    if (m_searchRange > 0)
        f = std::clamp(m_search.find(f, m_searchRange, m_rate), kMinCarrierHz, kMaxCarrierHz);
    m_setFreq = f;
    m_freq = f;
    m_afcSymbols = 0;
    m_afcTracking = false;
    m_afcDrift = 0.0;
    m_unlockedSymbols = kUnlockHoldSymbols;
    updateNco();
}

double Receiver::frequency() const {
    return m_freq;
}

void Receiver::setAfcLimit(int hz) {
    m_afcLimit = std::clamp(hz, 0, kMaxAfcLimitHz);
    if (m_afcLimit == 0) {
        m_freq = m_setFreq;
        updateNco();
    }
}

void Receiver::setSearchRange(int hz) {
    m_searchRange = std::clamp(hz, 0, kMaxSearchRangeHz);
}

void Receiver::setTrim(int ppm) {
    m_trim = clampTrim(ppm);
    m_rate = trimmedRate(m_trim);
    updateNco();
}

void Receiver::setSquelchThreshold(int threshold) {
    m_threshold = std::clamp(threshold, 0, 100);
}

void Receiver::setSquelchSpeed(int speed) {
    double seconds = 0.25;
    if (speed == 1) {
        seconds = 1.0;
    } else if (speed != 0) {
        seconds = std::clamp(speed, 10, 200) * 0.01;
    }
    m_releasePerSymbol = 1.0 / (seconds * kBaud);
}

void Receiver::updateNco() {
    const double w = kTwoPi * m_freq / m_rate;
    m_oscStep = {std::cos(w), -std::sin(w)};
    m_period = m_rate / (kDecimation * kBaud);
    const double t = kTwoPi / m_period;
    m_timingStep = {std::cos(t), std::sin(t)};
}

void Receiver::process(const float* in, std::size_t n) {
    m_search.push(in, n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::complex<float> c{static_cast<float>(in[i] * m_osc.real()),
                                    static_cast<float>(in[i] * m_osc.imag())};
        m_osc *= m_oscStep;
        m_decRing[m_decPos] = c;
        m_decRing[m_decPos + kDecTaps] = c;
        if (++m_decPos == kDecTaps) m_decPos = 0;
        if (++m_decPhase < kDecimation) continue;
        m_decPhase = 0;
        m_osc /= std::abs(m_osc);
        const std::complex<float>* x = &m_decRing[m_decPos];
        float re = 0.0f, im = 0.0f;
        for (int k = 0; k < kDecTaps; ++k) {
            re += m_decTaps[k] * x[k].real();
            im += m_decTaps[k] * x[k].imag();
        }
        onBaseband({re, im});
    }
}

void Receiver::onBaseband(std::complex<float> x) {
    m_imdRing[m_imdPos] = x;
    m_imdPos = (m_imdPos + 1) % kImdLength;

    m_mfRing[m_mfPos] = x;
    m_mfRing[m_mfPos + kMatchedTaps] = x;
    if (++m_mfPos == kMatchedTaps) m_mfPos = 0;
    const std::complex<float>* h = &m_mfRing[m_mfPos];
    float re = 0.0f, im = 0.0f;
    for (int k = 0; k < kMatchedTaps; ++k) {
        re += m_mfTaps[k] * h[k].real();
        im += m_mfTaps[k] * h[k].imag();
    }
    onMatched({re, im});
}

void Receiver::onMatched(std::complex<float> y) {
    // Symbol timing: the energy of the filtered signal peaks once a symbol at the symbol centres.
    m_timingLine += kTimingAlpha * (double(std::norm(y)) * std::conj(m_timingPhasor) - m_timingLine);

    m_y[m_n % kYRing] = y;
    const double t = m_nextSymbol;
    if (static_cast<double>(m_n) >= std::floor(t) + 1.0) {
        const auto i0 = static_cast<uint64_t>(std::floor(t));
        const float f = static_cast<float>(t - std::floor(t));
        const std::complex<float> ys = m_y[i0 % kYRing] * (1.0f - f) + m_y[(i0 + 1) % kYRing] * f;

        double next = t + m_period;
        if (std::abs(m_timingLine) > 0.0) {
            const double peak = -std::arg(m_timingLine);
            const double here = std::arg(m_timingPhasor) - (static_cast<double>(m_n) - t) * kTwoPi / m_period;
            const double err = std::remainder(peak - here, kTwoPi) * m_period / kTwoPi;
            next += kTimingGain * err;
        }
        m_nextSymbol = std::max(next, static_cast<double>(m_n) + 1.0);
        onSymbol(ys);
    }

    ++m_n;
    m_timingPhasor *= m_timingStep;
    if ((m_n & 255u) == 0) m_timingPhasor /= std::abs(m_timingPhasor);
}

void Receiver::onSymbol(std::complex<float> ys) {
    std::copy(m_eqHist.begin() + 1, m_eqHist.end(), m_eqHist.begin());
    m_eqHist.back() = ys;
    std::complex<float> s{0.0f, 0.0f};
    for (int k = 0; k < kEqTaps; ++k)
        s += m_eq[k] * m_eqHist[k];

    const std::complex<float> raw = s * std::conj(m_prevSymbol);
    m_prevSymbol = s;
    // On the lower sideband the phase changes run the other way.
    const bool lsb = m_mode == Mode::QpskLsb;
    const std::complex<float> z = lsb ? std::conj(raw) : raw;
    trackIdle(z);
    const float zMag = std::abs(z);
    if (zMag > 0.0f && std::isfinite(zMag)) m_phases[m_symbolCount % kPhaseCapacity] = z / zMag;
    ++m_symbolCount;

    if (m_mode == Mode::Bpsk) {
        updateQuality(z);
        // Compare with a reference built from several past symbols, each turned by the phase change
        // decided for it: less noise than the last symbol alone, so closer to coherent detection.
        // The reference is turned on by the mean turn per symbol, so a signal a few Hz off (AFC off
        // or still pulling in) does not leave it lagging behind.
        const std::complex<float> zr = s * std::conj(m_reference);
        const float d = zr.real() > 0.0f ? 1.0f : -1.0f;
        m_reference = (s + kReferenceMemory * d * m_reference) * turnPerSymbol();
        // What the decided change leaves of the phase change is the frequency error.
        trackTurn(raw * d);
        updateAfc(raw, std::arg(raw * d));
        deliver(d > 0.0f ? 1 : 0);
        return;
    }
    const float power = std::norm(s);
    if (!std::isfinite(power)) return;
    m_zScale += 0.05f * (power - m_zScale);
    m_zHist[m_symbols % m_zHist.size()] = z;
    ++m_symbols;
    if (m_zScale <= 0.0f) return;
    const std::complex<float> symbol = (lsb ? std::conj(s) : s) / std::sqrt(m_zScale);
    const std::complex<float> turn = turnPerSymbol();
    const int bit = m_viterbi.push(symbol, lsb ? std::conj(turn) : turn);
    if (bit < 0) {
        updateAfc(raw, std::nullopt);
        return;
    }
    // The decoded bit, encoded again, is the phase change that was sent kDecisionDelay symbols ago:
    // far more reliable than deciding each phase change alone.
    const std::complex<float> expected = qpskPhaseChange(m_reEncoder.push(bit));
    const std::complex<float> then =
        m_zHist[(m_symbols - 1 - ViterbiDecoder::kDecisionDelay) % m_zHist.size()];
    updateQpskQuality(then, expected);
    const std::complex<float> left = then * std::conj(expected);
    trackTurn(lsb ? std::conj(left) : left);
    const float err = std::arg(left);
    updateAfc(raw, lsb ? -err : err);
    deliver(bit);
}

void Receiver::trackTurn(std::complex<float> left) {
    const float mag = std::abs(left);
    if (mag > 0.0f && std::isfinite(mag)) m_turn += kTurnAlpha * (left / mag - m_turn);
}

std::complex<float> Receiver::turnPerSymbol() const {
    // Only as much of the turn as the decisions agree on: a mean of wrongly decided changes points
    // nowhere in particular, and turning the references by it would keep them wrong.
    const float mag = std::abs(m_turn);
    const float weight = std::clamp((mag - 0.3f) / 0.4f, 0.0f, 1.0f);
    return std::polar(1.0f, weight * std::arg(m_turn));
}

void Receiver::updateQuality(std::complex<float> z) {
    const float mag = std::abs(z);
    std::complex<float> u{0.0f, 0.0f};
    if (mag > 0.0f && std::isfinite(mag)) {
        u = z / mag;
        u *= u;
    }
    m_coherence += kQualityAlpha * (u - m_coherence);
    setQuality(unbiased(m_coherence));
}

void Receiver::updateQpskQuality(std::complex<float> z, std::complex<float> expected) {
    const float mag = std::abs(z);
    const float c = mag > 0.0f ? (z.real() * expected.real() + z.imag() * expected.imag()) / mag : 0.0f;
    m_agreement += kQualityAlpha * (c - m_agreement);
    const float r =
        std::clamp((m_agreement - kQpskNoiseAgreement) / (1.0f - kQpskNoiseAgreement), 0.0f, 1.0f);
    m_decodeTrust = r;
    // The 4th power puts the level of a QPSK signal within a few points of a BPSK one at the same SNR
    // (measured from -16 to -4 dB), so one squelch setting suits both.
    const float r2 = r * r;
    setQuality(r2 * r2);
}

void Receiver::setQuality(float quality) {
    m_quality = quality;
    const float inst = 100.0f * quality;
    if (inst > m_level) {
        m_level += 0.25f * (inst - m_level);
    } else {
        m_level += static_cast<float>(m_releasePerSymbol) * (inst - m_level);
    }
}

void Receiver::updateAfc(std::complex<float> z, std::optional<float> errRad) {
    if (m_afcLimit <= 0) return;
    // When the input falls silent (a sound card fed digital silence between overs) the filters'
    // dying tails carry no frequency information: steering by them walks the AFC away from where
    // the next over will come. Hold still until there is signal again.
    const float mag = std::abs(z);
    if (!std::isfinite(mag)) return;
    const bool quiet = mag < 1e-3f * m_afcMagnitude;
    m_afcMagnitude += (mag - m_afcMagnitude) / 64.0f;
    if (quiet || !(mag > 0.0f)) return;
    ++m_afcSymbols;
    const auto retune = [&](double f) {
        f = std::clamp(f, m_setFreq - m_afcLimit, m_setFreq + m_afcLimit);
        f = std::clamp(f, kMinCarrierHz, kMaxCarrierHz);
        if (f != m_freq) {
            m_freq = f;
            updateNco();
        }
    };
    // Two states. Acquiring: the decision-directed loop below could settle a quarter or half baud
    // off (where the phase changes look clean but mean the wrong bits), so it waits while the
    // spectrum of the last second steers towards the signal's centre, in steps that shrink with the
    // signal's strength (that centre wanders by a Hz or two on a weak signal). Tracking: the loop
    // follows, and the spectrum only overrides it when two fresh seconds agree on a large offset.
    // Locked while the decoder reads clean, and for a while after: weak signals dip below at times.
    if (m_quality >= (isQpsk(m_mode) ? kQpskLockedQuality : kLockedQuality)) {
        m_unlockedSymbols = 0;
        ++m_lockedSymbols;
    } else {
        ++m_unlockedSymbols;
        m_lockedSymbols = 0;
    }
    const bool locked = m_unlockedSymbols < kUnlockHoldSymbols;
    if (m_afcSymbols >= kCoarseSettle &&
        m_afcSymbols % (m_afcTracking ? kLockedCoarseEvery : kCoarseEvery) == 0) {
        const SignalSearch::Result found = m_search.search(m_freq, kCoarseSpanHz, m_rate);
        const double offset = found.hz - m_freq;
        const bool seen = found.strength > 0.0;
        if (!m_afcTracking) {
            if (seen && std::abs(offset) > kUnlockedJumpHz) {
                retune(m_freq + offset * std::clamp((found.strength - 1.0) / 6.0, 0.25, 1.0));
            } else if (seen || m_lockedSymbols >= kSolidLockSymbols) {
                m_afcTracking = true;
            }
        } else if (m_mode == Mode::Bpsk && std::abs(offset) > kLockedJumpHz && found.strength > 1.5) {
            // Tracking, yet two fresh seconds agree that the signal's centre is far off: the loop
            // has settled half a baud off, where every bit comes out inverted yet looks clean.
            // (A BPSK spectrum is symmetric whatever the text, so its centre is trustworthy. QPSK
            // text can lean a few Hz to one side, but a QPSK false lock does not decode and so
            // falls back to acquiring by itself.)
            const int side = offset > 0 ? 1 : -1;
            m_coarseStrikes = m_coarseStrikes * side > 0 ? m_coarseStrikes + side : side;
            if (std::abs(m_coarseStrikes) >= 2) {
                m_coarseStrikes = 0;
                retune(m_freq + offset);
                m_afcSymbols = 0;
                m_afcDrift = 0.0;
                return;
            }
        } else {
            m_coarseStrikes = 0;
        }
    }
    if (!m_afcTracking) return;
    if (std::abs(z) > 0.0f) {
        std::complex<float> u = z / std::abs(z);
        u *= u;
        if (isQpsk(m_mode)) u *= u;
        m_afcCoherence += kQualityAlpha * (u - m_afcCoherence);
    }
    if (!m_afcTracking) return;
    if (!locked) {
        // Nothing decodes yet: steer by the phase change against the nearest constellation point
        // (good within an eighth of a baud for QPSK, a quarter for BPSK). If nothing locks for
        // a few seconds, look at the spectrum again.
        if (m_unlockedSymbols > kUnlockHoldSymbols + kRelookSymbols) {
            m_afcTracking = false;
            m_unlockedSymbols = 0;
            return;
        }
        if (!(std::abs(z) > 0.0f)) return;
        std::complex<float> d;
        if (isQpsk(m_mode) && std::abs(z.imag()) > std::abs(z.real())) {
            d = {0.0f, z.imag() > 0 ? 1.0f : -1.0f};
        } else {
            d = {z.real() > 0 ? 1.0f : -1.0f, 0.0f};
        }
        retune(m_freq + kUnlockedGain * std::arg(z * std::conj(d)) * kBaud / kTwoPi);
        return;
    }
    if (!errRad || !std::isfinite(*errRad)) return;
    // How much to trust the decided error: the decoder's quality, or (sooner, on a strong signal)
    // how well the phase changes sit on the constellation at all.
    const float decoding = isQpsk(m_mode) ? m_decodeTrust : m_quality;
    const float trust = std::min(1.0f, 2.0f * std::max(decoding, unbiased(m_afcCoherence)));
    const double errHz = *errRad * kBaud / kTwoPi;
    // Fast after a jump, then slow so the loop's own jitter stays far below a symbol's phase.
    const double settled = isQpsk(m_mode) ? 0.015 : 0.03;
    const double gain = (settled + 0.1 * std::exp(-m_afcSymbols / 30.0)) * trust;
    // A second-order loop: the integrated drift rate follows a steadily drifting signal without lag.
    m_afcDrift =
        std::clamp(m_afcDrift + 0.25 * gain * gain * errHz, -kMaxDriftHzPerSymbol, kMaxDriftHzPerSymbol);
    retune(m_freq + gain * errHz + m_afcDrift);
}

void Receiver::trackIdle(std::complex<float> z) {
    if (z.real() < 0.0f && std::abs(z.imag()) < -z.real()) {
        ++m_reversals;
    } else {
        m_reversals = 0;
        return;
    }
    if (m_reversals < kImdFirst || (m_reversals - kImdFirst) % kImdEvery != 0) return;
    std::array<std::complex<float>, kImdLength> block;
    for (std::size_t i = 0; i < kImdLength; ++i)
        block[i] = m_imdRing[(m_imdPos + i) % kImdLength];
    const ImdMeasurement m = measureImd(block.data(), block.size(), m_rate / kDecimation);
    if (m.channelSnrDb >= kImdMinSnrDb) m_imd = m.imdDb;
}

void Receiver::deliver(int bit) {
    const int c = m_varicode.push(bit);
    if (c < 0 || !squelchOpen()) return;
    const std::size_t tail = (m_textHead + m_textCount) % kTextCapacity;
    m_text[tail] = static_cast<uint8_t>(c);
    if (m_textCount < kTextCapacity) {
        ++m_textCount;
    } else {
        m_textHead = (m_textHead + 1) % kTextCapacity;
    }
}

std::size_t Receiver::readText(uint8_t* out, std::size_t max) {
    std::size_t n = 0;
    while (n < max && m_textCount > 0) {
        out[n++] = m_text[m_textHead];
        m_textHead = (m_textHead + 1) % kTextCapacity;
        --m_textCount;
    }
    return n;
}

std::size_t Receiver::recentPhases(std::complex<float>* out, std::size_t max) const {
    const std::size_t n = std::min<std::size_t>({max, kPhaseCapacity, m_symbolCount});
    for (std::size_t i = 0; i < n; ++i)
        out[i] = m_phases[(m_symbolCount - n + i) % kPhaseCapacity];
    return n;
}

std::optional<double> Receiver::takeImd() {
    std::optional<double> r = m_imd;
    m_imd.reset();
    return r;
}

} // namespace tavrel::psk31
