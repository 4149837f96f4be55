#pragma once
// The QPSK31 rate-1/2 convolutional code (constraint length 5, g0 = x0^x1^x2^x4, g1 = x0^x3^x4 with x0
// the newest bit) and its soft-decision Viterbi decoder.

#include <array>
#include <complex>
#include <cstdint>

namespace tavrel::psk31 {

class ConvEncoder {
public:
    // Shifts in one data bit and returns the output pair as 2*g0 + g1 (0..3).
    unsigned push(int bit);
    void reset() { m_state = 0; }

private:
    unsigned m_state = 0; // x1..x4 of the next step, x1 in bit 3
};

// The output pair for encoder state (x1..x4, x1 in bit 3) and input bit.
unsigned convOutput(unsigned state, int bit);

// Soft-decision Viterbi over the 16 encoder states with register exchange. Each symbol supplies the
// received phase change as a complex value (any scale; only its direction and relative size matter);
// the branch metric is its correlation with the ideal phase change of each branch. Decisions come out
// kDecisionDelay symbols late.
class ViterbiDecoder {
public:
    static constexpr int kDecisionDelay = 20;

    ViterbiDecoder() { reset(); }

    // Feeds one symbol (already mapped to the upper sideband). Returns the decided bit for the symbol
    // kDecisionDelay steps back, or -1 while the decoder is still filling.
    int push(std::complex<float> phaseChange);
    void reset();

private:
    std::array<float, 16> m_metric{};
    std::array<uint32_t, 16> m_path{};
    int m_filled = 0;
};

} // namespace tavrel::psk31
