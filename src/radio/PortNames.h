#pragma once
// Which device a port item (settings items 26 and 41, the port boxes) names.

#include <string>
#include <vector>

namespace tavrel {

// "1".."4" (read by the numeric rule, so " 2" too) is the machine's n-th serial port, /dev/ttyS<n-1>;
// a text starting with "/" is a device path, used as typed (surrounding blanks dropped).
// "0", empty and anything else name no port: the result is empty.
std::string resolvePortName(const std::string& item);

// True when the item names a port.
bool isPortItem(const std::string& item);

// True when both items name the same device: "1" and "/dev/ttyS0", say, or the same number twice.
bool sameDevice(const std::string& a, const std::string& b);

// True when the item is a device path (its first non-blank character is "/").
bool isDevicePath(const std::string& item);

// The PTT port item as the modem is handed it: a device path as typed, otherwise the item's
// whole number ("0" for none).
std::string pttPortArgument(const std::string& item);

// Serial devices present on this machine, for the port boxes: /dev/ttyUSB*, /dev/ttyACM* and the
// ports Qt finds, each once, in natural order (ttyUSB2 before ttyUSB10).
std::vector<std::string> availableSerialPorts();

// The same listing over a given folder, with extra paths merged in; what availableSerialPorts uses.
std::vector<std::string> serialDevicesIn(const std::string& devDir,
                                         const std::vector<std::string>& alsoKnown);

} // namespace tavrel
