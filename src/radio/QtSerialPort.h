#pragma once
// The rig-control port on a real serial device, through QSerialPort.
//
// With RTS wired as PTT, a port that keyed the rig while opening would put the transmitter on the
// air. The kernel raises RTS and DTR inside open() itself, and QSerialPort::open() then sets up the
// line (a dozen system calls, about 70 microseconds on a pseudo-terminal) before holdLines() can
// drop them; no open flag prevents the raise and QSerialPort offers no earlier hook. A keyer that
// reacts within that time sees a blip. After that nothing here raises them except
// setRTSEnable(true) and setDTREnable(true).
// Lives on the thread that runs the Qt event loop (the UI thread); input from the rig is discarded.

#include "radio/SerialPort.h"

#include <memory>

class QSerialPort;

namespace tavrel {

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    bool setCommPort(const std::string& port) override;
    std::string commPort() const override { return m_commPort; }
    bool setSettings(const std::string& text) override;
    std::string settings() const override { return m_settings; }
    bool setHandshaking(int mode) override;
    int handshaking() const override { return m_handshaking; }
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    bool output(const std::string& bytes) override;
    bool setRTSEnable(bool on) override;
    bool rtsEnable() const override { return m_rts; }
    bool setDTREnable(bool on) override;
    bool dtrEnable() const override { return m_dtr; }

    // The device the port item resolves to ("" when none).
    std::string deviceName() const;

private:
    bool applyLine(const LineSettings& line);
    bool applyHandshaking(int mode);
    void holdLines();
    void closeDevice();

    std::unique_ptr<QSerialPort> m_port;
    std::string m_commPort;
    std::string m_settings = "9600,N,8,1";
    LineSettings m_line;
    int m_handshaking = 0;
    bool m_rts = false;
    bool m_dtr = false;
    bool m_closePending = false;
};

} // namespace tavrel
