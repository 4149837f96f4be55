#include "logbook/LogText.h"

namespace tavrel {

namespace {
bool isWordSeparator(char c) {
    switch (c) {
    case ' ':
    case '\0':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}
} // namespace

char upperCase1252(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
    // à-þ but not ÷ (0xF7); ß (0xDF) has no single-letter capital and stays.
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
    switch (b) {
    case 0x9A:
        return static_cast<char>(0x8A); // š
    case 0x9C:
        return static_cast<char>(0x8C); // œ
    case 0x9E:
        return static_cast<char>(0x8E); // ž
    case 0xFF:
        return static_cast<char>(0x9F); // ÿ
    default:
        return c;
    }
}

char lowerCase1252(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
    switch (b) {
    case 0x8A:
        return static_cast<char>(0x9A);
    case 0x8C:
        return static_cast<char>(0x9C);
    case 0x8E:
        return static_cast<char>(0x9E);
    case 0x9F:
        return static_cast<char>(0xFF);
    default:
        return c;
    }
}

std::string upperCase1252(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upperCase1252(c);
    return out;
}

std::string properCase(std::string_view text) {
    std::string out(text);
    bool wordStart = true;
    for (char& c : out) {
        if (isWordSeparator(c)) {
            wordStart = true;
            continue;
        }
        c = wordStart ? upperCase1252(c) : lowerCase1252(c);
        wordStart = false;
    }
    return out;
}

std::string callForLog(std::string_view typed) {
    std::string out = upperCase1252(typed);
    for (char& c : out)
        if (static_cast<unsigned char>(c) == kSlashedZero) c = '0';
    return out;
}

std::string_view trimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view leftPart(std::string_view text, size_t n) {
    return text.substr(0, n);
}

std::string_view midPart(std::string_view text, size_t from, size_t n) {
    if (from == 0 || from > text.size()) return {};
    return text.substr(from - 1, n);
}

std::string_view rightPart(std::string_view text, size_t n) {
    return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string dateShown(std::string_view key) {
    std::string out;
    out.reserve(10);
    out.append(leftPart(key, 4)).append("-").append(midPart(key, 5, 2)).append("-").append(rightPart(key, 2));
    return out;
}

std::string timeShown(std::string_view key) {
    std::string out;
    out.reserve(5);
    out.append(leftPart(key, 2)).append(":").append(midPart(key, 3, 2));
    return out;
}

} // namespace tavrel
