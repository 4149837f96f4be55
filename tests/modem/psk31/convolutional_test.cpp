#include "modem/psk31/Convolutional.h"
#include "modem/psk31/Psk31.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tavrel::psk31;

TEST(ConvolutionalCode, ImpulseResponseAndPhaseChangesAreThoseOnTheAir) {
    // g0 = x0^x1^x2^x4 taps 11101, g1 = x0^x3^x4 taps 10011: a single 1 walking through the register.
    ConvEncoder enc;
    std::vector<unsigned> pairs{enc.push(1)};
    for (int i = 0; i < 5; ++i)
        pairs.push_back(enc.push(0));
    EXPECT_EQ(pairs, (std::vector<unsigned>{3, 2, 2, 1, 3, 0}));
    // 00 reverses (idle), 01 keeps the phase (steady ones), 10 turns -90 and 11 +90 degrees on USB.
    const std::vector<std::complex<float>> turns = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (unsigned pair = 0; pair < 4; ++pair)
        EXPECT_EQ(qpskPhaseChange(pair), turns[pair]) << pair;
}

TEST(ViterbiDecoder, RecoversRandomBitsAndCorrectsScatteredSymbolErrors) {
    std::mt19937 rng(7);
    std::vector<int> bits(600 + ViterbiDecoder::kDecisionDelay, 0);
    for (std::size_t i = 0; i < 600; ++i)
        bits[i] = static_cast<int>(rng() & 1u);
    const std::vector<int> sent(bits.begin(), bits.begin() + 600);
    for (float memory : {0.0f, 0.7f}) {
        for (bool errors : {false, true}) {
            // Every 25th symbol knocked a quarter turn off, plus a constant phase: the code absorbs it.
            ConvEncoder enc;
            ViterbiDecoder v(memory);
            std::complex<float> phase = errors ? std::polar(1.0f, 0.6f) : 1.0f;
            std::vector<int> out;
            for (std::size_t i = 0; i < bits.size(); ++i) {
                phase *= qpskPhaseChange(enc.push(bits[i]));
                const std::complex<float> hit = errors && i % 25 == 12 ? std::complex<float>{0, 1} : 1.0f;
                if (const int b = v.push(phase * hit); b >= 0) out.push_back(b);
            }
            EXPECT_EQ(out, sent) << "memory " << memory << (errors ? ", with errors" : "");
        }
    }
}
