#pragma once
// The rig-control port on a real serial device, through QSerialPort.
//
// Opening leaves RTS and DTR low and nothing here raises them except setRTSEnable(true) and
// setDTREnable(true): with either wired as PTT, a port that keyed the rig while opening would put
// the transmitter on the air.
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
