#include "modem/psk31/Varicode.h"

#include <array>

namespace tavrel::psk31 {
namespace {

constexpr std::array<std::string_view, 128> kCodes = {
    "1010101011", "1011011011", "1011101101", "1101110111", "1011101011", "1101011111", "1011101111",
    "1011111101", "1011111111", "11101111",   "11101",      "1101101111", "1011011101", "11111",
    "1101110101", "1110101011", "1011110111", "1011110101", "1110101101", "1110101111", "1101011011",
    "1101101011", "1101101101", "1101010111", "1101111011", "1101111101", "1110110111", "1101010101",
    "1101011101", "1110111011", "1011111011", "1101111111", "1",          "111111111",  "101011111",
    "111110101",  "111011011",  "1011010101", "1010111011", "101111111",  "11111011",   "11110111",
    "101101111",  "111011111",  "1110101",    "110101",     "1010111",    "110101111",  "10110111",
    "10111101",   "11101101",   "11111111",   "101110111",  "101011011",  "101101011",  "110101101",
    "110101011",  "110110111",  "11110101",   "110111101",  "111101101",  "1010101",    "111010111",
    "1010101111", "1010111101", "1111101",    "11101011",   "10101101",   "10110101",   "1110111",
    "11011011",   "11111101",   "101010101",  "1111111",    "111111101",  "101111101",  "11010111",
    "10111011",   "11011101",   "10101011",   "11010101",   "111011101",  "10101111",   "1101111",
    "1101101",    "101010111",  "110110101",  "101011101",  "101110101",  "101111011",  "1010101101",
    "111110111",  "111101111",  "111111011",  "1010111111", "101101101",  "1011011111", "1011",
    "1011111",    "101111",     "101101",     "11",         "111101",     "1011011",    "101011",
    "1101",       "111101011",  "10111111",   "11011",      "111011",     "1111",       "111",
    "111111",     "110111111",  "10101",      "10111",      "101",        "110111",     "1111011",
    "1101011",    "11011111",   "1011101",    "111010101",  "1010110111", "110111011",  "1010110101",
    "1011010111", "1110110101",
};

constexpr std::array<VaricodeWord, 128> makeWords() {
    std::array<VaricodeWord, 128> words{};
    for (std::size_t c = 0; c < kCodes.size(); ++c) {
        uint16_t bits = 0;
        for (char b : kCodes[c])
            bits = static_cast<uint16_t>((bits << 1) | (b == '1' ? 1 : 0));
        words[c] = {bits, static_cast<uint8_t>(kCodes[c].size())};
    }
    return words;
}

constexpr std::array<VaricodeWord, 128> kWords = makeWords();

// Lookup by (1 << length) | bits; codes are at most 10 bits long.
constexpr std::array<int8_t, 2048> makeLookup() {
    std::array<int8_t, 2048> lookup{};
    for (auto& v : lookup)
        v = -1;
    for (std::size_t c = 0; c < kWords.size(); ++c)
        lookup[(1u << kWords[c].length) | kWords[c].bits] = static_cast<int8_t>(c);
    return lookup;
}

constexpr std::array<int8_t, 2048> kLookup = makeLookup();

// Windows-1252 0x80..0xFF to plain ASCII; 0 means "not sent".
constexpr char kHighToAscii[] =
    // 0x80                0x90
    "E\0,f\".++^%S<O\0Z\0"
    "\0''\"\"*--~Ts>o\0zY"
    // 0xA0                0xB0
    " !cLoY|S\"ca<--r-"
    "o+23'uP.,1o>\0\0\0?"
    // 0xC0                0xD0
    "AAAAAAACEEEEIIII"
    "DNOOOOOxOUUUUYTs"
    // 0xE0                0xF0
    "aaaaaaaceeeeiiii"
    "dnooooo/ouuuuyty";
static_assert(sizeof(kHighToAscii) == 129);

} // namespace

VaricodeWord varicodeOf(uint8_t ascii) {
    return kWords[ascii & 0x7f];
}

int asciiForAir(uint8_t byte) {
    if (byte < 128) return byte;
    const char c = kHighToAscii[byte - 128];
    return c == '\0' ? -1 : static_cast<unsigned char>(c);
}

int VaricodeDecoder::push(int bit) {
    if (bit == 0) {
        if (m_lastZero) {
            // "00": whatever was collected (less its trailing zero) is a character.
            int result = -1;
            if (m_count > 1) {
                const int length = m_count - 1;
                const uint32_t code = m_bits >> 1;
                if (length <= 10) result = kLookup[(1u << length) | code];
            }
            m_bits = 0;
            m_count = 0;
            return result;
        }
        m_lastZero = true;
        if (m_count > 0) {
            m_bits <<= 1;
            ++m_count;
        }
        return -1;
    }
    m_lastZero = false;
    m_bits = (m_bits << 1) | 1u;
    // Longer than any code: keep counting so the garbage is dropped at the next "00".
    if (m_count < 20) ++m_count;
    return -1;
}

void VaricodeDecoder::reset() {
    m_bits = 0;
    m_count = 0;
    m_lastZero = true;
}

} // namespace tavrel::psk31
