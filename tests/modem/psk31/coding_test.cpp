// The bit-level codes: varicode, and QPSK's convolutional code with its Viterbi decoder.

#include "modem/psk31/Convolutional.h"
#include "modem/psk31/Psk31.h"
#include "modem/psk31/Varicode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tavrel::psk31;

namespace {

std::string bitsOf(uint8_t c) {
    const VaricodeWord w = varicodeOf(c);
    std::string s;
    for (int i = w.length - 1; i >= 0; --i)
        s += ((w.bits >> i) & 1u) ? '1' : '0';
    return s;
}

std::string decodeBits(const std::string& bits, VaricodeDecoder&& d = {}) {
    std::string out;
    for (char b : bits)
        if (const int c = d.push(b == '1' ? 1 : 0); c >= 0) out += static_cast<char>(c);
    return out;
}

} // namespace

TEST(Varicode, EveryCodeRoundTripsWithAnyRunOfSeparatingZeros) {
    // A few codes as published, to catch a shifted table.
    for (const auto& [c, bits] :
         {std::pair{' ', "1"}, {'e', "11"}, {'E', "1110111"}, {'\r', "11111"}, {'\n', "11101"}})
        EXPECT_EQ(bitsOf(c), bits) << int(c);
    for (int zeros : {2, 3, 7, 40}) {
        std::string bits = "0000", expected;
        for (int c = 0; c < 128; ++c) {
            bits += bitsOf(static_cast<uint8_t>(c)) + std::string(zeros, '0');
            expected += static_cast<char>(c);
        }
        EXPECT_EQ(decodeBits(bits), expected) << zeros << " zeros";
    }
}

TEST(Varicode, IdleGarbageAndAResetProduceNothingAndDoNotDisturbWhatFollows) {
    EXPECT_EQ(decodeBits(std::string(100, '0')), "");
    EXPECT_EQ(decodeBits("0011111111111111111100" + bitsOf('K') + "00"), "K"); // longer than any code
    EXPECT_EQ(decodeBits("0010100"), "t"); // a single zero does not end a character
    VaricodeDecoder d;                     // a reset drops a half-received character
    for (int bit : {0, 0, 1, 1, 1})
        d.push(bit);
    d.reset();
    EXPECT_EQ(decodeBits("100", std::move(d)), " ");
}

TEST(Varicode, BytesAboveAsciiGoOutAsTheirNearestAsciiOrNotAtAll) {
    const std::pair<uint8_t, int> cases[] = {{'A', 'A'},   {0x00, 0x00}, {0x7f, 0x7f}, {0xE9, 'e'},
                                             {0xC9, 'E'},  {0xFC, 'u'},  {0xDF, 's'},  {0x93, '"'},
                                             {0x92, '\''}, {0x96, '-'},  {0x80, 'E'},  {0xA0, ' '},
                                             {0x81, -1},   {0x8D, -1},   {0xBD, -1},   {0xFF, 'y'}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(asciiForAir(in), out) << int(in);
    for (int b = 128; b < 256; ++b) {
        const int a = asciiForAir(static_cast<uint8_t>(b));
        EXPECT_TRUE(a == -1 || (a >= 32 && a < 127)) << b;
    }
}

TEST(ConvolutionalCode, ImpulseResponseAndPhaseChangesAreThoseOnTheAir) {
    // g0 = x0^x1^x2^x4 taps 11101, g1 = x0^x3^x4 taps 10011: a single 1 walking through the register.
    ConvEncoder enc;
    std::vector<unsigned> pairs{enc.push(1)};
    for (int i = 0; i < 5; ++i)
        pairs.push_back(enc.push(0));
    EXPECT_EQ(pairs, (std::vector<unsigned>{3, 2, 2, 1, 3, 0}));
    // 00 reverses (idle), 01 keeps the phase (steady ones), 10 turns -90 and 11 +90 degrees on USB.
    const std::complex<float> turns[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (unsigned pair = 0; pair < 4; ++pair)
        EXPECT_EQ(qpskPhaseChange(pair), turns[pair]) << pair;
}

TEST(ViterbiDecoder, RecoversRandomBitsAndCorrectsScatteredSymbolErrors) {
    std::mt19937 rng(7);
    std::vector<int> bits(600 + ViterbiDecoder::kDecisionDelay, 0);
    for (std::size_t i = 0; i < 600; ++i)
        bits[i] = static_cast<int>(rng() & 1u);
    for (float memory : {0.0f, 0.7f})
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
            EXPECT_EQ(out, std::vector<int>(bits.begin(), bits.begin() + 600)) << memory << " " << errors;
        }
}
