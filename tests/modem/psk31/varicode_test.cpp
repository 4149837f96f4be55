#include "modem/psk31/Varicode.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    const std::pair<char, const char*> published[] = {{' ', "1"}, {'e', "11"}, {'E', "1110111"}, {'\r', "11111"}, {'\n', "11101"}};
    for (const auto& [c, bits] : published)
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
    // A run of ones longer than any code.
    EXPECT_EQ(decodeBits("0011111111111111111100" + bitsOf('K') + "00"), "K");
    // A single zero does not end a character: "101" is 't', not two spaces.
    EXPECT_EQ(decodeBits("0010100"), "t");
    // A reset drops a half-received character; the next starts afresh.
    VaricodeDecoder d;
    for (int bit : {0, 0, 1, 1, 1})
        d.push(bit);
    d.reset();
    EXPECT_EQ(decodeBits("100", std::move(d)), " ");
}

TEST(Varicode, BytesAboveAsciiGoOutAsTheirNearestAsciiOrNotAtAll) {
    const std::vector<std::pair<uint8_t, int>> cases = {
        {'A', 'A'},  {0x00, 0x00}, {0x7f, 0x7f}, {0xE9, 'e'}, {0xC9, 'E'}, {0xFC, 'u'},
        {0xDF, 's'}, {0x93, '"'},  {0x92, '\''}, {0x96, '-'}, {0x80, 'E'}, {0xA0, ' '},
        {0x81, -1},  {0x8D, -1},   {0xBD, -1},   {0xFF, 'y'},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(asciiForAir(in), out) << int(in);
    for (int b = 128; b < 256; ++b) {
        const int a = asciiForAir(static_cast<uint8_t>(b));
        EXPECT_TRUE(a == -1 || (a >= 32 && a < 127)) << b;
    }
}
