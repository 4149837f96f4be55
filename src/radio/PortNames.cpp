#include "radio/PortNames.h"

#include "core/Numeric.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <filesystem>
#include <tuple>

namespace tavrel {

std::string resolvePortName(const std::string& item) {
    if (isDevicePath(item)) {
        const size_t first = item.find_first_not_of(" \t");
        const size_t last = item.find_last_not_of(" \t");
        return item.substr(first, last - first + 1);
    }
    // The port number is written as a 16-bit whole number, so "2.4" is port 2 as well.
    const int n = wholeNumber16(item);
    if (n < 1 || n > 4) return {};
    return "/dev/ttyS" + std::to_string(n - 1);
}

bool isPortItem(const std::string& item) {
    return !resolvePortName(item).empty();
}

bool sameDevice(const std::string& a, const std::string& b) {
    const std::string device = resolvePortName(a);
    return !device.empty() && device == resolvePortName(b);
}

bool isDevicePath(const std::string& item) {
    const size_t first = item.find_first_not_of(" \t");
    return first != std::string::npos && item[first] == '/';
}

std::string pttPortArgument(const std::string& item) {
    if (isDevicePath(item)) return resolvePortName(item);
    return std::to_string(wholeNumber32(item));
}

namespace {

// "/dev/ttyUSB10" -> ("/dev/ttyUSB", 10, ...) so numbered devices sort by number.
auto naturalKey(const std::string& path) {
    size_t digits = path.size();
    while (digits > 0 && path[digits - 1] >= '0' && path[digits - 1] <= '9')
        --digits;
    const std::string tail = path.substr(digits);
    unsigned long number = 0;
    if (!tail.empty() && tail.size() < 10) number = std::stoul(tail);
    const int numbered = tail.empty() ? 0 : 1; // no-mutate: only 0 before 1 counts
    return std::make_tuple(path.substr(0, digits), numbered, number, path);
}

} // namespace

std::vector<std::string> serialDevicesIn(const std::string& devDir,
                                         const std::vector<std::string>& alsoKnown) {
    std::vector<std::string> found = alsoKnown;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(devDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("ttyUSB") || name.starts_with("ttyACM")) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end(),
              [](const std::string& a, const std::string& b) { return naturalKey(a) < naturalKey(b); });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::vector<std::string> availableSerialPorts() {
    std::vector<std::string> known;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        known.push_back(info.systemLocation().toStdString());
    return serialDevicesIn("/dev", known);
}

} // namespace tavrel
