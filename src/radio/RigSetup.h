#pragma once
// The Hamlib rig the settings name, for radio model item 63 "4": the Hamlib model number (item 64),
// the CAT port (item 41: "1".."4", a device path, or host:port for a network rig), the baud rate
// (item 42), and where PTT goes (PTT port item 26 and line item 27, "4" = through the rig).

#include "radio/Rig.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

struct RigSetupItems {
    std::string model;   // item 64
    std::string port;    // item 41
    std::string baud;    // item 42
    std::string pttPort; // item 26
    std::string pttLine; // item 27
};

struct RigSetup {
    std::optional<RigConfig> config;
    std::string problem; // why there is no config, for the operator
};

RigSetup hamlibSetup(const RigSetupItems& items);

// The mode a band button sets: USB, or the rig's USB data mode when item 65 is "1".
RigMode bandMode(std::string_view dataModeItem);

} // namespace tavrel
