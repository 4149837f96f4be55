#include "app/Cp1252.h"

namespace tavrel {

namespace {
// 0x80-0x9F; 0 marks the five codes the set leaves undefined (they map to themselves).
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
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
