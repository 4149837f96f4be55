#include "radio/RigCommands.h"

#include <cstdio>

namespace tavrel {

namespace {

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

std::string kenwoodSetFrequency(uint32_t frequencyHz) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "FA%011u;", frequencyHz);
    return buf;
}

std::string setFrequencyCommand(uint32_t frequencyHz, std::string_view modelItem) {
    if (modelItem == "1") return icomSetFrequency(frequencyHz);
    if (modelItem == "2") return yaesuSetFrequency(frequencyHz);
    if (modelItem == "3") return kenwoodSetFrequency(frequencyHz);
    return {};
}

} // namespace tavrel
