#include "core/Cp1252.h"

namespace tavrel {

namespace {
// 0x80-0x9F; 0 marks the five codes the set leaves undefined (they map to themselves).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// U+0100-U+017F, Latin Extended-A: each letter's base letter ("-" where the set has the letter).
constexpr const char* kLatinExtendedA[128] = {
    "A",    "a",    "A",  "a",  "A", "a", "C", "c", "C", "c", "C", "c", "C", "c", "D", "d",
    "D",    "d",    "E",  "e",  "E", "e", "E", "e", "E", "e", "E", "e", "G", "g", "G", "g",
    "G",    "g",    "G",  "g",  "H", "h", "H", "h", "I", "i", "I", "i", "I", "i", "I", "i",
    "I",    "i",    "IJ", "ij", "J", "j", "K", "k", "k", "L", "l", "L", "l", "L", "l", "L",
    "l",    "L",    "l",  "N",  "n", "N", "n", "N", "n", "n", "N", "n", "O", "o", "O", "o",
    "\xD6", "\xF6", "-",  "-",  "R", "r", "R", "r", "R", "r", "S", "s", "S", "s", "S", "s",
    "-",    "-",    "T",  "t",  "T", "t", "T", "t", "U", "u", "U", "u", "U", "u", "U", "u",
    "\xDC", "\xFC", "U",  "u",  "W", "w", "Y", "y", "-", "Z", "z", "Z", "z", "-", "-", "s",
};
// U+0410-U+042F and U+0430-U+044F, the Russian alphabet.
constexpr const char* kCyrillicUpper[32] = {
    "A", "B", "V", "G", "D", "E",  "Zh", "Z",  "I",  "Y",    "K", "L", "M", "N", "O",  "P",
    "R", "S", "T", "U", "F", "Kh", "Ts", "Ch", "Sh", "Shch", "'", "Y", "'", "E", "Yu", "Ya",
};
constexpr const char* kCyrillicLower[32] = {
    "a", "b", "v", "g", "d", "e",  "zh", "z",  "i",  "y",    "k", "l", "m", "n", "o",  "p",
    "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "'", "y", "'", "e", "yu", "ya",
};
// U+0391-U+03A9 and U+03B1-U+03C9, the Greek alphabet.
constexpr const char* kGreekUpper[25] = {
    "A", "V", "G", "D", "E", "Z", "I", "Th", "I", "K",  "L",  "M", "N",
    "X", "O", "P", "R", "?", "S", "T", "Y",  "F", "Ch", "Ps", "O",
};
constexpr const char* kGreekLower[25] = {
    "a", "v", "g", "d", "e", "z", "i", "th", "i", "k",  "l",  "m", "n",
    "x", "o", "p", "r", "s", "s", "t", "y",  "f", "ch", "ps", "o",
};

struct Closest {
    char32_t ch;
    const char* text;
};
// Letters outside those blocks: Romanian, Ukrainian and Belarusian, Greek with accents, pinyin.
constexpr Closest kOthers[] = {
    {0x0218, "S"},    {0x0219, "s"},    {0x021A, "T"},    {0x021B, "t"},    {0x018F, "E"},
    {0x0259, "e"},    {0x0401, "Yo"},   {0x0451, "yo"},   {0x0404, "Ye"},   {0x0454, "ye"},
    {0x0406, "I"},    {0x0456, "i"},    {0x0407, "Yi"},   {0x0457, "yi"},   {0x0490, "G"},
    {0x0491, "g"},    {0x040E, "U"},    {0x045E, "u"},    {0x0386, "A"},    {0x0388, "E"},
    {0x0389, "I"},    {0x038A, "I"},    {0x038C, "O"},    {0x038E, "Y"},    {0x038F, "O"},
    {0x03AC, "a"},    {0x03AD, "e"},    {0x03AE, "i"},    {0x03AF, "i"},    {0x03CC, "o"},
    {0x03CD, "y"},    {0x03CE, "o"},    {0x01CD, "A"},    {0x01CE, "a"},    {0x01CF, "I"},
    {0x01D0, "i"},    {0x01D1, "O"},    {0x01D2, "o"},    {0x01D3, "U"},    {0x01D4, "u"},
    {0x01D5, "\xDC"}, {0x01D6, "\xFC"}, {0x01D7, "\xDC"}, {0x01D8, "\xFC"}, {0x01D9, "\xDC"},
    {0x01DA, "\xFC"}, {0x01DB, "\xDC"}, {0x01DC, "\xFC"}};
} // namespace

char32_t cp1252ToUnicode(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
    return b;
}

int unicodeToCp1252(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<int>(ch);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == ch) return 0x80 + i;
        if (kHigh[i] == 0 && ch == static_cast<char32_t>(0x80 + i)) return 0x80 + i;
    }
    return -1;
}

} // namespace tavrel

namespace tavrel {

std::string closestCp1252(char32_t ch) {
    if (const int b = unicodeToCp1252(ch); b >= 0) return std::string(1, static_cast<char>(b));
    if (ch >= 0x0100 && ch <= 0x017F) return kLatinExtendedA[ch - 0x0100];
    if (ch >= 0x0410 && ch <= 0x042F) return kCyrillicUpper[ch - 0x0410];
    if (ch >= 0x0430 && ch <= 0x044F) return kCyrillicLower[ch - 0x0430];
    if (ch >= 0x0391 && ch <= 0x03A9) return kGreekUpper[ch - 0x0391];
    if (ch >= 0x03B1 && ch <= 0x03C9) return kGreekLower[ch - 0x03B1];
    for (const Closest& c : kOthers)
        if (c.ch == ch) return c.text;
    return "?";
}

} // namespace tavrel
