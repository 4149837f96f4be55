#include "modem/psk31/Varicode.h"

#include <gtest/gtest.h>

#include <set>
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

std::string decodeBits(const std::string& bits) {
    VaricodeDecoder d;
    std::string out;
    for (char b : bits) {
        const int c = d.push(b == '1' ? 1 : 0);
        if (c >= 0) out += static_cast<char>(c);
    }
    return out;
}

} // namespace

TEST(Varicode, TableIsAValidPrefixFreeAlphabet) {
    std::set<std::string> seen;
    for (int c = 0; c < 128; ++c) {
        const std::string b = bitsOf(static_cast<uint8_t>(c));
        ASSERT_FALSE(b.empty()) << c;
        EXPECT_EQ(b.front(), '1') << c;
        EXPECT_EQ(b.back(), '1') << c;
        EXPECT_EQ(b.find("00"), std::string::npos) << c;
        EXPECT_LE(b.size(), 10u) << c;
        EXPECT_TRUE(seen.insert(b).second) << "duplicate code for " << c;
    }
    // A few codes as published, to catch a shifted table.
    EXPECT_EQ(bitsOf(' '), "1");
    EXPECT_EQ(bitsOf('e'), "11");
    EXPECT_EQ(bitsOf('E'), "1110111");
    EXPECT_EQ(bitsOf('\r'), "11111");
    EXPECT_EQ(bitsOf('\n'), "11101");
}

TEST(Varicode, EveryCodeRoundTripsWithAnyRunOfSeparatingZeros) {
    for (int zeros : {2, 3, 7, 40}) {
        std::string bits = "0000";
        std::string expected;
        for (int c = 0; c < 128; ++c) {
            bits += bitsOf(static_cast<uint8_t>(c)) + std::string(zeros, '0');
            expected += static_cast<char>(c);
        }
        EXPECT_EQ(decodeBits(bits), expected) << zeros << " zeros";
    }
}

TEST(Varicode, IdleAndGarbageProduceNothingAndDoNotDisturbWhatFollows) {
    // Long idle, a run of ones longer than any code, a single zero inside a code-like run.
    EXPECT_EQ(decodeBits(std::string(100, '0')), "");
    EXPECT_EQ(decodeBits("0011111111111111111100" + bitsOf('K') + "00"), "K");
    // A single zero does not end a character: "1" "0" "1" is the code 101 ('t'), not two spaces.
    EXPECT_EQ(decodeBits("00"
                         "101"
                         "00"),
              "t");
}

TEST(Varicode, BytesAboveAsciiGoOutAsTheirNearestAsciiOrNotAtAll) {
    struct Case {
        uint8_t in;
        int out;
    };
    const std::vector<Case> cases = {
        {'A', 'A'},  {0x00, 0x00}, {0x7f, 0x7f}, {0xE9, 'e'}, {0xC9, 'E'}, {0xFC, 'u'},
        {0xDF, 's'}, {0x93, '"'},  {0x92, '\''}, {0x96, '-'}, {0x80, 'E'}, {0xA0, ' '},
        {0x81, -1},  {0x8D, -1},   {0xBD, -1},   {0xFF, 'y'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(asciiForAir(c.in), c.out) << int(c.in);
    for (int b = 128; b < 256; ++b) {
        const int a = asciiForAir(static_cast<uint8_t>(b));
        EXPECT_TRUE(a == -1 || (a >= 32 && a < 127)) << b;
    }
}
