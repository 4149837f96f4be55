#include "modem/SoundChoice.h"

#include "core/Numeric.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {
std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}
} // namespace

int pickDevice(const std::vector<SoundDevice>& devices, const std::string& chosen, bool* missing) {
    if (missing) *missing = false;
    const std::string want = trimmed(chosen);
    if (want.empty()) return -1;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].id == want) return static_cast<int>(i);
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].description == want) return static_cast<int>(i);
    if (missing) *missing = true;
    return -1;
}

int driveFromPercent(const std::string& percentItem) {
    if (!holdsNumber(percentItem)) return 253;
    const double percent = std::clamp(numberValue(percentItem), 0.0, 100.0);
    return static_cast<int>(std::lround(percent * 255.0 / 100.0));
}

int percentFromDrive(int aux) {
    return static_cast<int>(std::lround(std::clamp(aux, 0, 255) * 100.0 / 255.0));
}

double peakDbfs(float peak) {
    if (!(peak > 0.0f)) return kFloorDbfs;
    return std::max(kFloorDbfs, 20.0 * std::log10(static_cast<double>(peak)));
}

float peakOf(const float* samples, std::size_t n) {
    float peak = 0.0f;
    for (std::size_t i = 0; i < n; ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

} // namespace tavrel
