#include "modem/psk31/Receiver.h"

#include "modem/psk31/ChannelFilter.h"
#include "modem/psk31/Imd.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

constexpr double kTimingAlpha = 1.0 / 512.0; // ~1 s of symbol-rate line
constexpr double kTimingGain = 0.25;
// Mean cosine between noise and the Viterbi decoder's own re-encoded decisions (measured: 0.50 with
// the per-survivor references). The decoder picks the path that best fits the noise, so noise never
// reads 0 here.
constexpr float kQpskNoiseAgreement = 0.50f;
constexpr float kTurnAlpha = 1.0f / 32.0f;
constexpr int kImdFirst = 40; // reversals before the first reading: the window lies wholly in idle
constexpr int kImdEvery = 32;

} // namespace

float Receiver::unbiased(std::complex<float> mean, float alpha) {
    // |mean|^2 of random unit phasors averaged so. 2 + alpha would move the level of noise by a few
    // tenths of a point, well inside the spread of the noise itself.
    const float bias = alpha / (2.0f - alpha); // no-mutate: see above
    return std::clamp((std::norm(mean) - bias) / (1.0f - bias), 0.0f, 1.0f);
}

Receiver::Receiver() {
    // Decimating low-pass: flat to beyond +/-100 Hz (IMD products sit at +/-47 Hz), and everything
    // that would fold into +/-100 Hz at 500 samples/s is at least 113 dB down. Less lets a station
    // a multiple of 500 Hz away fold onto the centre, where a decoder this good reads it on a quiet
    // sound card.
    liquid_firdes_kaiser(kDecTaps, 250.0f / 8000.0f, 120.0f, 0.0f, m_decTaps.data());
    float sum = 0.0f;
    for (float t : m_decTaps)
        sum += t;
    for (float& t : m_decTaps)
        t /= sum;

    // Designed once (a few milliseconds of solving) and shared by every receiver.
    static const std::vector<float> channel = designChannelFilter(kDecimation, kChannelSymbols);
    std::copy(channel.begin(), channel.end(), m_chTaps.begin());

    updateNco();
}

void Receiver::setMode(Mode mode) {
    m_mode = mode;
    resetDecoder();
    restartAfc(m_setFreq);
}

void Receiver::resetDecoder() {
    m_viterbi.reset();
    m_reEncoder.reset();
    m_symbols = 0;
    m_reference.reset();
    m_lastSign = 1.0f;
    m_decodedPhase = {1.0f, 0.0f};
    m_turn = {1.0f, 0.0f};
    m_zScale = 0.0f;
    m_agreement = m_recentAgreement = m_trustAgreement = 0.0f;
    m_coherence = m_recentCoherence = {0.0f, 0.0f};
    m_varicode.reset();
    m_squelch.reset();
    m_reversals = 0;
}

void Receiver::setFrequency(double hz) {
    double f = std::clamp(std::isfinite(hz) ? hz : 1000.0, kMinCarrierHz, kMaxCarrierHz);
    if (m_searchRange > 0)
        f = std::clamp(m_search.find(f, m_searchRange, m_rate), kMinCarrierHz, kMaxCarrierHz);
    m_setFreq = f;
    m_freq = f;
    restartAfc(f);
    updateNco();
}

double Receiver::frequency() const {
    return m_freq;
}

void Receiver::setAfcLimit(int hz) {
    m_afcLimit = std::clamp(hz, 0, kMaxAfcLimitHz);
    // A hard bound around the frequency set: a smaller limit brings the receiver back inside at once.
    retune(m_freq);
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
    m_squelch.setThreshold(threshold);
}

void Receiver::setSquelchSpeed(int speed) {
    m_squelch.setSpeed(speed);
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
        // The taps are symmetric: pair them, and keep two sums going so they pipeline.
        const std::complex<float>* x = &m_decRing[m_decPos];
        float re0 = 0.0f, im0 = 0.0f, re1 = 0.0f, im1 = 0.0f;
        for (int k = 0; k < kDecTaps / 2; k += 2) {
            const std::complex<float> a = x[k] + x[kDecTaps - 1 - k];
            const std::complex<float> b = x[k + 1] + x[kDecTaps - 2 - k];
            re0 += m_decTaps[k] * a.real();
            im0 += m_decTaps[k] * a.imag();
            re1 += m_decTaps[k + 1] * b.real();
            im1 += m_decTaps[k + 1] * b.imag();
        }
        onBaseband({re0 + re1, im0 + im1});
    }
}

void Receiver::onBaseband(std::complex<float> x) {
    m_imdRing[m_imdPos] = x;
    m_imdPos = (m_imdPos + 1) % kImdLength;

    m_chRing[m_chPos] = x;
    m_chRing[m_chPos + kChannelTaps] = x;
    if (++m_chPos == kChannelTaps) m_chPos = 0;
    // The filter is symmetric: pair the taps to halve the multiplications.
    const std::complex<float>* h = &m_chRing[m_chPos];
    float re = m_chTaps[kChannelTaps / 2] * h[kChannelTaps / 2].real();
    float im = m_chTaps[kChannelTaps / 2] * h[kChannelTaps / 2].imag();
    for (int k = 0; k < kChannelTaps / 2; ++k) {
        const std::complex<float> pair = h[k] + h[kChannelTaps - 1 - k];
        re += m_chTaps[k] * pair.real();
        im += m_chTaps[k] * pair.imag();
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

void Receiver::onSymbol(std::complex<float> s) {
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
        // Decide the symbol's sign against the phase reference (the past symbols with their signs
        // removed: far less noise than the last symbol alone while the channel holds still); the
        // bit is whether the sign changed.
        const std::complex<float> zr = s * std::conj(m_reference.predict());
        const float sign = zr.real() > 0.0f ? 1.0f : -1.0f;
        m_reference.update(sign * s, turnPerSymbol());
        const float d = sign * m_lastSign;
        m_lastSign = sign;
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
    m_symbolHist[(m_symbols - 1) % m_symbolHist.size()] = symbol;
    const std::complex<float> turn = lsb ? std::conj(turnPerSymbol()) : turnPerSymbol();
    const int bit = m_viterbi.push(symbol, turn);
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
    // Score the references along the decoded path, and let the decoder's own follow the best.
    m_decodedPhase *= expected;
    m_decodedPhase /= std::abs(m_decodedPhase);
    const std::complex<float> symbolThen =
        m_symbolHist[(m_symbols - 1 - ViterbiDecoder::kDecisionDelay) % m_symbolHist.size()];
    m_reference.update(symbolThen * std::conj(m_decodedPhase), turn);
    // (Its survivors decide late, and a memory beyond 0.8 carries their early mistakes too far.)
    m_viterbi.setMemory(m_reference.bestMemory(0.8f));
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
    m_recentCoherence += kRecentAlpha * (u - m_recentCoherence);
    setQuality(unbiased(m_coherence), unbiased(m_recentCoherence, kRecentAlpha));
}

void Receiver::updateQpskQuality(std::complex<float> z, std::complex<float> expected) {
    const float mag = std::abs(z);
    const float c = mag > 0.0f ? (z.real() * expected.real() + z.imag() * expected.imag()) / mag : 0.0f;
    m_agreement += kQualityAlpha * (c - m_agreement);
    m_recentAgreement += kRecentAlpha * (c - m_recentAgreement);
    // The 4th power puts the level of a QPSK signal within a few points of a BPSK one at the same SNR
    // (measured from -16 to -4 dB), so one squelch setting suits both.
    const auto shaped = [](float agreement) {
        const float r =
            std::clamp((agreement - kQpskNoiseAgreement) / (1.0f - kQpskNoiseAgreement), 0.0f, 1.0f);
        return r * r * r * r;
    };
    // The frequency control reads the decoder over a quarter second, so it stops soon after a signal.
    m_trustAgreement += 2.0f * kQualityAlpha * (c - m_trustAgreement);
    m_decodeTrust =
        std::clamp((m_trustAgreement - kQpskNoiseAgreement) / (1.0f - kQpskNoiseAgreement), 0.0f, 1.0f);
    setQuality(shaped(m_agreement), shaped(m_recentAgreement));
}

void Receiver::setQuality(float quality, float recentQuality) {
    m_quality = quality;
    m_squelch.update(quality, recentQuality);
    // Characters held through a fade follow once good copy returns.
    uint8_t held[Squelch::kHeldCapacity];
    const std::size_t n = m_squelch.takeReleased(held, sizeof held);
    for (std::size_t i = 0; i < n; ++i)
        pushText(held[i]);
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
    if (c >= 0 && m_squelch.admit(static_cast<uint8_t>(c))) pushText(static_cast<uint8_t>(c));
}

void Receiver::pushText(uint8_t c) {
    const std::size_t tail = (m_textHead + m_textCount) % kTextCapacity;
    m_text[tail] = c;
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
