#include "radio/RigSetup.h"

#include "core/Numeric.h"
#include "radio/HamlibRig.h"
#include "radio/PortNames.h"

#include <algorithm>

namespace tavrel {

namespace {

std::string trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

} // namespace

RigSetup hamlibSetup(const RigSetupItems& items) {
    const int number = wholeNumber32(items.model);
    if (number <= 0) return {std::nullopt, "no Hamlib rig model chosen"};
    const HamlibModel* model = findHamlibModel(number);
    if (!model) return {std::nullopt, "Hamlib has no rig model " + std::to_string(number)};

    RigConfig c;
    c.model = number;
    const std::string port = trimmed(items.port);
    bool network = false;
    if (isPortItem(items.port)) {
        c.port = resolvePortName(items.port);
    } else if (port.find(':') != std::string::npos) {
        c.port = port; // host:port of rigctld, flrig or a rig on the network
        network = true;
    } else if (model->port == HamlibPort::Serial)
        return {std::nullopt, "no CAT port set for " + model->maker + " " + model->model};
    // Otherwise the rig needs no port, or takes its default (rigctld on this machine).
    c.baud = std::max(0, wholeNumber32(items.baud));

    if (wholeNumber32(items.pttLine) == 4)
        c.ptt = RigPtt::Cat;
    else if (numberValue(items.pttPort) == 0 && !isDevicePath(items.pttPort) &&
             model->port == HamlibPort::Serial && !network)
        c.ptt = RigPtt::Rts; // no PTT port of its own: RTS on the CAT port, as for the other rigs
    return {c, {}};
}

RigMode bandMode(std::string_view dataModeItem) {
    return dataModeItem == "1" ? RigMode::UsbData : RigMode::Usb;
}

} // namespace tavrel
