#pragma once
// A rig under computer control, as the rig worker drives it: open, tune, read the dial, key PTT.
// Every call may block for as long as the rig takes to answer (up to its timeout), so only the rig
// worker's thread calls them. HamlibRig is the real one; tests use their own.

#include <cstdint>
#include <string>

namespace tavrel {

enum class RigMode { Usb, Lsb, UsbData, LsbData, Other };

// Where PTT is keyed when the rig keys it.
enum class RigPtt {
    None, // the rig is never keyed
    Cat,  // a command to the rig
    Rts,  // the RTS line of the rig's own serial port
};

// How to reach the rig. port: a device path, "host:port" for a network rig, or empty for the
// rig's default (rigs that need no port, rigctld on this machine).
struct RigConfig {
    int model = 0; // Hamlib model number
    std::string port;
    int baud = 0; // 0 keeps the rig's own default
    RigPtt ptt = RigPtt::None;
    bool operator==(const RigConfig&) const = default;
};

struct RigReading {
    uint64_t hz = 0;
    RigMode mode = RigMode::Other;
    bool operator==(const RigReading&) const = default;
};

// The outcome of one call. Refused: the rig answered but cannot do it (an unsupported mode, a
// command it lacks); Lost: no answer, a broken line or a protocol error; the rig must be opened
// again before it is used.
struct RigResult {
    enum class Kind { Ok, Refused, Lost };
    Kind kind = Kind::Ok;
    std::string error;

    static RigResult ok() { return {}; }
    static RigResult refused(std::string why) { return {Kind::Refused, std::move(why)}; }
    static RigResult lost(std::string why) { return {Kind::Lost, std::move(why)}; }
    explicit operator bool() const { return kind == Kind::Ok; }
};

class Rig {
public:
    virtual ~Rig() = default;
    virtual RigResult open() = 0;
    virtual void close() = 0;
    // On the rig's current VFO.
    virtual RigResult setFrequency(uint64_t hz) = 0;
    virtual RigResult setMode(RigMode mode) = 0;
    virtual RigResult readFrequency(uint64_t& hz) = 0;
    virtual RigResult readMode(RigMode& mode) = 0;
    virtual RigResult setPtt(bool on) = 0;
};

} // namespace tavrel
