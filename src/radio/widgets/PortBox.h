#pragma once
// The port boxes of the settings windows (the CAT port here, the PTT port in the user settings).

#include <string>
#include <vector>

class QComboBox;

namespace tavrel {

// Lists "0" (no port) and "1".."4", then the given serial devices (by default those found on this
// machine: /dev/ttyUSB0, /dev/ttyACM0, ...). The box is made editable so that any other device path
// can be typed; its text is kept as it was.
void fillPortBox(QComboBox& box, const std::vector<std::string>& devices);
void fillPortBox(QComboBox& box);

} // namespace tavrel
