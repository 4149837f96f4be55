#include "modem/psk31/Convolutional.h"
#include "modem/psk31/Psk31.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tavrel::psk31;

namespace {

// Absolute symbols for a bit sequence: each encoder output pair turns the phase.
std::vector<std::complex<float>> symbolsFor(const std::vector<int>& bits) {
    ConvEncoder enc;
    std::complex<float> phase{1.0f, 0.0f};
    std::vector<std::complex<float>> out;
    for (int b : bits) {
        phase *= qpskPhaseChange(enc.push(b));
        out.push_back(phase);
    }
    return out;
}

std::vector<int> decode(const std::vector<std::complex<float>>& symbols, float memory) {
    ViterbiDecoder v(memory);
    std::vector<int> out;
    for (auto s : symbols) {
        const int b = v.push(s);
        if (b >= 0) out.push_back(b);
    }
    return out;
}

} // namespace

TEST(ConvolutionalCode, ImpulseResponseFollowsTheGeneratorPolynomials) {
    // g0 = x0^x1^x2^x4 taps 11101, g1 = x0^x3^x4 taps 10011: a single 1 walking through the register.
    ConvEncoder enc;
    std::vector<unsigned> pairs;
    pairs.push_back(enc.push(1));
    for (int i = 0; i < 5; ++i)
        pairs.push_back(enc.push(0));
    EXPECT_EQ(pairs, (std::vector<unsigned>{3, 2, 2, 1, 3, 0}));
}

TEST(ConvolutionalCode, IdleIsReversalsAndOnesAreSteadyCarrier) {
    ConvEncoder enc;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(qpskPhaseChange(enc.push(0)), std::complex<float>(-1.0f, 0.0f));
    for (int i = 0; i < 5; ++i)
        enc.push(1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(qpskPhaseChange(enc.push(1)), std::complex<float>(1.0f, 0.0f));
}

TEST(ViterbiDecoder, RecoversRandomBitsAndCorrectsScatteredSymbolErrors) {
    std::mt19937 rng(7);
    std::vector<int> bits(600);
    for (int& b : bits)
        b = static_cast<int>(rng() & 1u);
    for (int i = 0; i < ViterbiDecoder::kDecisionDelay; ++i)
        bits.push_back(0);
    const std::vector<int> sent(bits.begin(), bits.end() - ViterbiDecoder::kDecisionDelay);

    for (float memory : {0.0f, 0.7f}) {
        std::vector<std::complex<float>> symbols = symbolsFor(bits);
        EXPECT_EQ(decode(symbols, memory), sent) << "clean, memory " << memory;
        // Every 25th symbol knocked a quarter turn off, plus a constant phase: the code absorbs it.
        const std::complex<float> rot = std::polar(1.0f, 0.6f);
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            symbols[i] *= rot;
            if (i % 25 == 12) symbols[i] *= std::complex<float>(0.0f, 1.0f);
        }
        EXPECT_EQ(decode(symbols, memory), sent) << "with errors, memory " << memory;
    }
}
