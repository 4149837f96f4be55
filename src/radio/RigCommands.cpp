#include "radio/RigCommands.h"

#include <array>
#include <cstdio>

namespace tavrel {

namespace {

constexpr std::array<BandInfo, 4> kBands{{
    {"10", 28'120'000},
    {"15", 21'070'000},
    {"20", 14'070'000},
    {"40", 7'035'000},
}};

// Eight decimal digits as four packed-BCD bytes, lowest pair first.
std::string packedBcd4(uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        const unsigned low = value % 10;
        const unsigned high = (value / 10) % 10;
        out.push_back(static_cast<char>((high << 4) | low));
        value /= 100;
    }
    return out;
}

} // namespace

const BandInfo* findBand(std::string_view band) {
    for (const BandInfo& b : kBands)
        if (b.band == band) return &b;
    return nullptr;
}

std::string dialText(uint32_t frequencyHz) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u.%03u.%02u", frequencyHz / 1'000'000, (frequencyHz / 1000) % 1000,
                  (frequencyHz / 10) % 100);
    return buf;
}

double dialKHz(uint32_t frequencyHz) {
    return frequencyHz / 1000.0;
}

std::string icomSetFrequency(uint32_t frequencyHz, uint8_t rigAddress, uint8_t controllerAddress) {
    std::string frame{'\xFE', '\xFE', static_cast<char>(rigAddress), static_cast<char>(controllerAddress),
                      '\x05'};
    frame += packedBcd4(frequencyHz);
    frame.push_back('\xFD');
    return frame;
}

std::string yaesuSetFrequency(uint32_t frequencyHz) {
    std::string block = packedBcd4(frequencyHz / 10);
    block.push_back('\x0A');
    return block;
}

std::string bandCommand(std::string_view band, std::string_view modelItem) {
    const BandInfo* b = findBand(band);
    if (!b) return {};
    if (modelItem == "1") return icomSetFrequency(b->frequencyHz);
    if (modelItem == "2") return yaesuSetFrequency(b->frequencyHz);
    return {};
}

} // namespace tavrel
