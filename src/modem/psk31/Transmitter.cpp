#include "modem/psk31/Transmitter.h"

#include "modem/psk31/Varicode.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

// Weight of the symbol being left at fraction u (0..1) of a transition: 1/2 (1 + cos(pi u)).
// Tabulated finely enough that the interpolation error sits far below any IMD we care about.
constexpr int kShapePoints = 4096;

struct ShapeTable {
    std::array<float, kShapePoints + 2> w{};
    ShapeTable() {
        for (int i = 0; i <= kShapePoints + 1; ++i)
            w[i] = static_cast<float>(0.5 * (1.0 + std::cos(std::numbers::pi * i / kShapePoints)));
    }
};

float leavingWeight(double u) {
    static const ShapeTable table;
    const double x = std::clamp(u, 0.0, 1.0) * kShapePoints;
    const int i = static_cast<int>(x);
    const float f = static_cast<float>(x - i);
    return table.w[i] + (table.w[i + 1] - table.w[i]) * f;
}

} // namespace

Transmitter::Transmitter() {
    updateSteps();
}

void Transmitter::setFrequency(double hz) {
    m_frequency = std::clamp(std::isfinite(hz) ? hz : 1000.0, kMinCarrierHz, kMaxCarrierHz);
    updateSteps();
}

void Transmitter::setTrim(int ppm) {
    m_trim = clampTrim(ppm);
    updateSteps();
}

void Transmitter::setAmplitude(float peak) {
    m_amplitude = std::isfinite(peak) ? std::clamp(peak, 0.0f, 1.0f) : 0.8f;
}

void Transmitter::updateSteps() {
    const double rate = trimmedRate(m_trim);
    const double w = 2.0 * std::numbers::pi * m_frequency / rate;
    m_oscStep = {std::cos(w), std::sin(w)};
    m_symbolStep = kBaud / rate;
}

std::size_t Transmitter::queueText(std::string_view text) {
    // Drop what has been sent before growing, so a long session does not keep every character.
    if (m_queuePos > 4096 && m_queuePos * 2 > m_queue.size()) {
        m_queue.erase(0, m_queuePos);
        m_queuePos = 0;
    }
    std::size_t added = 0;
    for (char ch : text) {
        const int a = asciiForAir(static_cast<uint8_t>(ch));
        if (a < 0) continue;
        m_queue.push_back(static_cast<char>(a));
        ++added;
    }
    return added;
}

void Transmitter::begin(Phase phase) {
    m_mode = m_nextMode;
    m_state = TxState::Transmitting;
    m_phase = phase;
    m_ending = false;
    m_count = kPreambleSymbols;
    m_charLen = 0;
    m_encoder.reset();
    // The first transition rises from silence to the reference phase.
    m_prev = {0.0f, 0.0f};
    m_cur = {1.0f, 0.0f};
    m_symbolPos = 0.0;
}

void Transmitter::start() {
    if (m_state != TxState::Transmitting) begin(Phase::Preamble);
}

void Transmitter::tune() {
    if (m_state != TxState::Transmitting) begin(Phase::Tune);
}

void Transmitter::endWhenDrained() {
    if (m_state != TxState::Transmitting) return;
    m_ending = true;
    if (m_phase == Phase::Tune) m_phase = Phase::RampDown;
}

void Transmitter::abort() {
    m_queue.clear();
    m_queuePos = 0;
    m_charLen = 0; // no-mutate: begin() sets it again before another bit is read
    if (m_state == TxState::Transmitting && m_phase != Phase::Fade) {
        m_phase = Phase::Fade;
        m_count = kAbortFadeSamples;
    }
}

int Transmitter::nextTextBit() {
    if (m_charLen == 0) {
        if (m_queuePos < m_queue.size()) {
            const auto c = static_cast<uint8_t>(m_queue[m_queuePos++]);
            const VaricodeWord w = varicodeOf(c);
            m_charBits = static_cast<uint32_t>(w.bits) << 2; // the code, then "00"
            m_charLen = w.length + 2;
            pushEcho(c);
        } else if (m_ending) {
            m_phase = Phase::Postamble;
            m_count = isQpsk(m_mode) ? kQpskPostambleSymbols : kBpskPostambleSymbols;
            return -1;
        } else {
            return 0; // idle reversals
        }
    }
    --m_charLen;
    return static_cast<int>((m_charBits >> m_charLen) & 1u);
}

std::complex<float> Transmitter::nextSymbol() {
    int bit = 0; // no-mutate: every case below sets it or returns
    switch (m_phase) {
    case Phase::Preamble:
        if (--m_count <= 0) m_phase = Phase::Text;
        bit = 0;
        break;
    case Phase::Text:
        bit = nextTextBit();
        if (bit >= 0) break;
        [[fallthrough]];
    case Phase::Postamble:
        if (m_count-- <= 0) {
            m_phase = Phase::RampDown;
            return {0.0f, 0.0f};
        }
        bit = 1;
        break;
    case Phase::Tune:
        return m_cur;
    case Phase::RampDown:
    case Phase::Fade:
    case Phase::Off:
        return {0.0f, 0.0f};
    }
    std::complex<float> change;
    if (isQpsk(m_mode)) {
        change = qpskPhaseChange(m_encoder.push(bit));
    } else {
        change = bit ? std::complex<float>{1.0f, 0.0f} : std::complex<float>{-1.0f, 0.0f};
    }
    const std::complex<float> next = m_cur * change;
    // Snap to the exact constellation point so rounding never accumulates.
    return {std::round(next.real()), std::round(next.imag())};
}

void Transmitter::generate(float* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, ++m_sampleCount) {
        if (m_state != TxState::Transmitting) {
            out[i] = 0.0f;
            continue;
        }
        if (m_symbolPos >= 1.0) {
            m_symbolPos -= 1.0;
            if (m_phase == Phase::RampDown && m_cur == std::complex<float>{0.0f, 0.0f}) {
                m_state = TxState::Finished;
                m_phase = Phase::Off;
                out[i] = 0.0f;
                continue;
            }
            m_prev = m_cur;
            m_cur = nextSymbol();
            // Renormalise the oscillator once a symbol.
            m_osc /= std::abs(m_osc);
        }
        const float w = leavingWeight(m_symbolPos);
        std::complex<float> b = m_prev * w + m_cur * (1.0f - w);
        if (m_mode == Mode::QpskLsb) b = std::conj(b);
        float gain = m_amplitude;
        if (m_phase == Phase::Fade) {
            gain *=
                0.5f * (1.0f - std::cos(static_cast<float>(std::numbers::pi) * m_count / kAbortFadeSamples));
            if (--m_count <= 0) {
                m_state = TxState::Finished;
                m_phase = Phase::Off;
            }
        }
        out[i] = gain * static_cast<float>(b.real() * m_osc.real() - b.imag() * m_osc.imag());
        m_osc *= m_oscStep;
        m_symbolPos += m_symbolStep;
    }
}

void Transmitter::pushEcho(uint8_t c) {
    const std::size_t tail = (m_echoHead + m_echoCount) % kEchoCapacity;
    m_echo[tail] = {c, m_sampleCount};
    if (m_echoCount < kEchoCapacity) {
        ++m_echoCount;
    } else {
        m_echoHead = (m_echoHead + 1) % kEchoCapacity;
    }
}

std::size_t Transmitter::takeEchoes(TxEcho* out, std::size_t max) {
    std::size_t n = 0;
    while (n < max && m_echoCount > 0) {
        out[n++] = m_echo[m_echoHead];
        m_echoHead = (m_echoHead + 1) % kEchoCapacity;
        --m_echoCount;
    }
    return n;
}

} // namespace tavrel::psk31
