#include "radio/BandPlan.h"

#include <array>
#include <cmath>

namespace tavrel {

namespace {

// The usual PSK31 watering holes. 60 m: 5357 kHz lies inside the common WRC-15 allocation and is
// a channel in the countries that use channels.
constexpr std::array<BandInfo, 11> kBands{{
    {"160", 1'838'000, 1'800'000, 2'000'000, 0},
    {"80", 3'580'000, 3'500'000, 4'000'000, 0},
    {"60", 5'357'000, 5'250'000, 5'450'000, 0},
    {"40", 7'035'000, 7'000'000, 7'300'000, 7},
    {"30", 10'142'000, 10'100'000, 10'150'000, 0},
    {"20", 14'070'000, 14'000'000, 14'350'000, 14},
    {"17", 18'100'000, 18'068'000, 18'168'000, 0},
    {"15", 21'070'000, 21'000'000, 21'450'000, 21},
    {"12", 24'920'000, 24'890'000, 24'990'000, 0},
    {"10", 28'120'000, 28'000'000, 29'700'000, 28},
    {"6", 50'290'000, 50'000'000, 54'000'000, 0},
}};

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::span<const BandInfo> allBands() {
    return kBands;
}

const BandInfo* findBand(std::string_view band) {
    for (const BandInfo& b : kBands)
        if (b.band == band) return &b;
    return nullptr;
}

const BandInfo* bandOfFrequency(uint64_t hz) {
    for (const BandInfo& b : kBands)
        if (hz >= b.lowHz && hz <= b.highHz) return &b;
    return nullptr;
}

std::optional<uint32_t> presetFrequency(const BandInfo& band, std::string_view preset) {
    if (band.presetMHz == 0) return std::nullopt;
    preset = trimBlanks(preset);
    // Whole kHz below 1000, then up to three decimals (Hz); nothing else.
    double kHz = 0;
    size_t i = 0;
    int whole = 0;
    for (; i < preset.size() && preset[i] >= '0' && preset[i] <= '9'; ++i, ++whole)
        kHz = kHz * 10 + (preset[i] - '0');
    if (whole == 0 || kHz >= 1000) return std::nullopt;
    if (i < preset.size() && preset[i] == '.') {
        double scale = 0.1;
        int decimals = 0;
        for (++i; i < preset.size() && preset[i] >= '0' && preset[i] <= '9'; ++i, ++decimals, scale /= 10)
            kHz += (preset[i] - '0') * scale;
        if (decimals == 0 || decimals > 3) return std::nullopt;
    }
    if (i != preset.size()) return std::nullopt;
    const auto hz = static_cast<uint32_t>(band.presetMHz * 1'000'000 + std::lround(kHz * 1000));
    if (hz < band.lowHz || hz > band.highHz) return std::nullopt;
    return hz;
}

uint32_t bandFrequency(const BandInfo& band, std::string_view preset) {
    return presetFrequency(band, preset).value_or(band.frequencyHz);
}

} // namespace tavrel
