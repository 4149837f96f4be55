#include "radio/SerialPort.h"

#include <cctype>
#include <vector>

namespace tavrel {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t comma = text.find(',');
        fields.push_back(trimBlanks(text.substr(0, comma)));
        if (comma == std::string_view::npos) return fields;
        text.remove_prefix(comma + 1);
    }
}

// Digits only, no sign; nullopt past `limit` or when empty.
std::optional<long> digitsValue(std::string_view s, long limit) {
    if (s.empty()) return std::nullopt;
    long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > limit) return std::nullopt;
    }
    return v;
}

} // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    const auto f = splitCommas(text);
    if (f.size() != 4) return std::nullopt;
    LineSettings ls;

    const auto baud = digitsValue(f[0], 4'000'000);
    if (!baud || *baud < 1) return std::nullopt;
    ls.baud = static_cast<int>(*baud);

    if (f[1].size() != 1) return std::nullopt;
    const char p = static_cast<char>(std::toupper(static_cast<unsigned char>(f[1][0])));
    if (p != 'N' && p != 'E' && p != 'O' && p != 'M' && p != 'S') return std::nullopt;
    ls.parity = p;

    const auto data = digitsValue(f[2], 8);
    if (!data || *data < 5) return std::nullopt;
    ls.dataBits = static_cast<int>(*data);

    if (f[3] == "1")
        ls.stopBits = LineSettings::StopBits::One;
    else if (f[3] == "1.5")
        ls.stopBits = LineSettings::StopBits::OneAndHalf;
    else if (f[3] == "2")
        ls.stopBits = LineSettings::StopBits::Two;
    else
        return std::nullopt;
    return ls;
}

bool openPort(SerialPort& port, const std::string& portItem, const std::string& settingsText) {
    return port.setCommPort(portItem) && port.setSettings(settingsText) && port.setHandshaking(0) &&
           port.setPortOpen(true);
}

} // namespace tavrel
