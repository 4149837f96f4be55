#include "modem/psk31/Psk31.h"

#include <algorithm>

namespace tavrel::psk31 {

Mode modeFromInt(int value) {
    switch (value) {
    case 1:
        return Mode::QpskUsb;
    case 2:
        return Mode::QpskLsb;
    default:
        return Mode::Bpsk;
    }
}

std::complex<float> qpskPhaseChange(unsigned pair) {
    pair &= 3u;
    if (pair == 0) return {-1.0f, 0.0f};
    if (pair == 1) return {1.0f, 0.0f};
    return pair == kQpskPairPlus90 ? std::complex<float>{0.0f, 1.0f} : std::complex<float>{0.0f, -1.0f};
}

int clampTrim(int trimPpm) {
    return std::clamp(trimPpm, -1000, 1000);
}

} // namespace tavrel::psk31
