#pragma once
// The rig-control serial port as the program sees it: six properties, written one at a time.
//
// Every setter returns whether the write took effect. A failed write changes nothing, so a caller
// that makes the four opening writes (CommPort, Settings, Handshaking, PortOpen) as one group can
// stop at the first false and leave the port exactly as it was (see openPort below).

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The port item: "1".."4" or a device path (see PortNames.h). Fails while the port is open
    // and for an item that names no port; the previous value is kept.
    virtual bool setCommPort(const std::string& port) = 0;
    virtual std::string commPort() const = 0;

    // Line settings "baud, parity, data bits, stop bits", e.g. "9600, N, 8, 2" or "9600,N,8,2".
    // Fails on a text parseLineSettings rejects, or when an open port cannot take the new settings.
    virtual bool setSettings(const std::string& text) = 0;
    virtual std::string settings() const = 0;

    // 0 none, 1 XON/XOFF, 2 RTS/CTS (the driver then owns RTS, which keys a rig wired for RTS PTT).
    virtual bool setHandshaking(int mode) = 0;
    virtual int handshaking() const = 0;

    // Opening fails when no port is set, the device cannot be opened, its settings cannot be
    // applied, or it is already open. A port that opens has RTS and DTR low.
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;

    // Each byte 0..255 goes out unchanged, in order. Does nothing and fails while closed.
    virtual bool output(const std::string& bytes) = 0;

    // Raises or lowers RTS at once. Fails (changing nothing) while closed or when the device has no
    // modem lines; closing the port drops RTS.
    virtual bool setRTSEnable(bool on) = 0;
    virtual bool rtsEnable() const = 0;

    // The same for DTR: keys a rig wired for DTR PTT when PTT shares the CAT port's cable.
    virtual bool setDTREnable(bool on) = 0;
    virtual bool dtrEnable() const = 0;
};

// A settings text taken apart.
struct LineSettings {
    enum class StopBits { One, OneAndHalf, Two };
    int baud = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;  // 5..8
    StopBits stopBits = StopBits::One;
    bool operator==(const LineSettings&) const = default;
};

// Four comma-separated fields, blanks around each allowed: baud (1..4000000), parity letter
// (N E O M S, either case), data bits (5..8), stop bits (1, 1.5 or 2). Anything else is nullopt.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// The opening group: CommPort, Settings, Handshaking 0, PortOpen true, stopping silently at the
// first write that fails. True when the port was opened by this call.
bool openPort(SerialPort& port, const std::string& portItem, const std::string& settingsText);

} // namespace tavrel
