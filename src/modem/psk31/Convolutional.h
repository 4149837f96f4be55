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

// Soft-decision Viterbi over the 16 encoder states with register exchange, fed with the received
// symbols themselves (complex, upper sideband, roughly unit size). Each survivor path keeps its own
// phase reference: the symbols along it, each turned back by the phase changes the path decided,
// averaged with a forgetting factor `memory` (0 = plain differential detection against the last
// symbol; towards 1 = nearly coherent). The branch metric is the correlation of the new symbol with
// that reference turned by the branch's phase change. Decisions come out kDecisionDelay symbols late.
class ViterbiDecoder {
public:
    static constexpr int kDecisionDelay = 20;

    explicit ViterbiDecoder(float memory = 0.0f) : m_memory(memory) { reset(); }

    // Feeds one symbol, with the phase turn per symbol that a small frequency offset adds (a unit
    // phasor; the references are turned on by it). Returns the decided bit for the symbol
    // kDecisionDelay steps back, or -1 while the decoder is still filling.
    int push(std::complex<float> symbol, std::complex<float> turn = {1.0f, 0.0f});
    void reset();
    // Changes the references' memory from the next symbol on (the channel may call for another).
    void setMemory(float memory) { m_memory = memory; }

private:
    float m_memory;
    std::array<float, 16> m_metric{};
    std::array<uint32_t, 16> m_path{};
    std::array<std::complex<float>, 16> m_reference{};
    int m_filled = 0;
};

} // namespace tavrel::psk31
