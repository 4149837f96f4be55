#pragma once
// A rig driven through Hamlib, and the list of rigs the installed Hamlib knows.
//
// Hamlib keeps state of its own that is shared by every rig in the process, so each call into it
// is made under one lock: two rigs (the station's and the settings window's Test) never run Hamlib
// code at the same time. Each call is bounded by the rig's timeout, and the rig worker makes them,
// never the window.

#include "radio/Rig.h"

#include <string>
#include <vector>

struct s_rig;

namespace tavrel {

enum class HamlibPort { None, Serial, Network, Other };

struct HamlibModel {
    int number;
    std::string maker;
    std::string model;
    HamlibPort port;
};

// Every rig model of the installed Hamlib, by maker, then model (letter case ignored).
const std::vector<HamlibModel>& hamlibModels();
// nullptr for a number Hamlib does not know.
const HamlibModel* findHamlibModel(int number);

class HamlibRig final : public Rig {
public:
    explicit HamlibRig(RigConfig config);
    ~HamlibRig() override;
    HamlibRig(const HamlibRig&) = delete;
    HamlibRig& operator=(const HamlibRig&) = delete;

    RigResult open() override;
    void close() override;
    RigResult setFrequency(uint64_t hz) override;
    RigResult setMode(RigMode mode) override;
    RigResult readFrequency(uint64_t& hz) override;
    RigResult readMode(RigMode& mode) override;
    RigResult setPtt(bool on) override;
    // What the rig says of its PTT.
    RigResult readPtt(bool& on);

private:
    RigResult notOpen() const;
    RigConfig m_config;
    s_rig* m_rig = nullptr;
};

} // namespace tavrel
