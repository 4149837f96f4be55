#include "modem/psk31/Convolutional.h"

#include "modem/psk31/Psk31.h"

#include <bit>

namespace tavrel::psk31 {
namespace {

constexpr unsigned kG0 = 0b11101; // x0 x1 x2 . x4   (x0 in bit 4)
constexpr unsigned kG1 = 0b10011; // x0 . . x3 x4

struct BranchTable {
    // Ideal phase change for predecessor state s and input bit b, index s * 2 + b.
    std::array<std::complex<float>, 32> change{};
};

BranchTable makeBranches() {
    BranchTable t;
    for (unsigned s = 0; s < 16; ++s)
        for (int b = 0; b < 2; ++b)
            t.change[s * 2 + b] = qpskPhaseChange(convOutput(s, b));
    return t;
}

const BranchTable& branches() {
    static const BranchTable table = makeBranches();
    return table;
}

} // namespace

unsigned convOutput(unsigned state, int bit) {
    const unsigned reg = ((bit ? 1u : 0u) << 4) | (state & 15u);
    const unsigned g0 = std::popcount(reg & kG0) & 1u;
    const unsigned g1 = std::popcount(reg & kG1) & 1u;
    return g0 * 2 + g1;
}

unsigned ConvEncoder::push(int bit) {
    const unsigned out = convOutput(m_state, bit);
    m_state = (((bit ? 1u : 0u) << 4) | m_state) >> 1;
    return out;
}

int ViterbiDecoder::push(std::complex<float> symbol, std::complex<float> turn) {
    const auto& br = branches();
    std::array<float, 16> metric;
    std::array<uint32_t, 16> path;
    std::array<std::complex<float>, 16> reference;
    for (unsigned ns = 0; ns < 16; ++ns) {
        const int b = static_cast<int>(ns >> 3);
        const unsigned s0 = (ns & 7u) << 1;
        const unsigned s1 = s0 | 1u;
        // Where each predecessor's path expects this symbol to be.
        const std::complex<float> e0 = m_reference[s0] * br.change[s0 * 2 + b];
        const std::complex<float> e1 = m_reference[s1] * br.change[s1 * 2 + b];
        const float m0 = m_metric[s0] + symbol.real() * e0.real() + symbol.imag() * e0.imag();
        const float m1 = m_metric[s1] + symbol.real() * e1.real() + symbol.imag() * e1.imag();
        const bool first = m0 >= m1;
        const unsigned from = first ? s0 : s1;
        metric[ns] = first ? m0 : m1;
        path[ns] = (m_path[from] << 1) | static_cast<uint32_t>(b);
        reference[ns] = (symbol + m_memory * (first ? e0 : e1)) * turn;
    }
    unsigned best = 0;
    for (unsigned s = 1; s < 16; ++s)
        if (metric[s] > metric[best]) best = s;
    // Keep the metrics small: only their differences matter.
    const float top = metric[best];
    for (unsigned s = 0; s < 16; ++s)
        m_metric[s] = metric[s] - top;
    m_path = path;
    m_reference = reference;
    if (m_filled < kDecisionDelay) {
        ++m_filled;
        return -1;
    }
    return static_cast<int>((m_path[best] >> kDecisionDelay) & 1u);
}

void ViterbiDecoder::reset() {
    // Start from the all-zero state (the idle preamble leaves the encoder there) but allow any.
    m_metric.fill(-4.0f);
    m_metric[0] = 0.0f;
    m_path.fill(0);
    m_reference.fill({0.0f, 0.0f});
    m_filled = 0;
}

} // namespace tavrel::psk31
