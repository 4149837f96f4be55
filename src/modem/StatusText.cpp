#include "modem/StatusText.h"

#include "core/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavrel {

std::string absoluteFrequency(int audioHz, double dialKhz, bool lowerSideband) {
    const double hz = ((lowerSideband ? -audioHz : audioHz) / 1000.0 + dialKhz) * 1000.0;
    char buf[64];
    // Whole hertz, as the frequencies always are; a fraction would only be rounding noise.
    std::snprintf(buf, sizeof buf, "%.0f", std::round(hz));
    return buf;
}

std::string groupFrequency(const std::string& s, double dialKhz) {
    const size_t lead = dialKhz >= 10000 ? 2 : 1;
    if (s.size() < lead + 6) return s;
    return s.substr(0, lead) + "," + s.substr(lead, 3) + "," + s.substr(s.size() - 3);
}

double signalMaskHeight(int level) {
    return std::max(0.0, 1335.0 - 13.2 * std::min(level, 101));
}

bool squelchOpen(int level, int threshold) {
    return level > threshold;
}

bool imdTooHigh(int imdDb) {
    return imdDb >= -18;
}

std::string utcClock(const Clock& clock, const std::string& gmtOffsetItem) {
    if (!holdsNumber(gmtOffsetItem)) {
        const DateTime u = clock.utc();
        return twoDigits(u.hour) + ":" + twoDigits(u.minute) + ":" + twoDigits(u.second);
    }
    const DateTime l = clock.local();
    const int hour = ((l.hour - wholeNumber16(gmtOffsetItem)) % 24 + 24) % 24;
    return twoDigits(hour) + ":" + twoDigits(l.minute) + ":" + twoDigits(l.second);
}

} // namespace tavrel
