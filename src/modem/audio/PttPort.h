#pragma once
// The serial line that keys the transmitter when the modem does its own PTT.
//
// Opening must never key the rig: both RTS and DTR are driven low straight after the device opens,
// and again before it closes. Lives on the UI thread.

#include <memory>
#include <string>

class QSerialPort;

namespace tavrel {

class PttPort {
public:
    virtual ~PttPort() = default;
    // Opens the device ("/dev/ttyS0", "/dev/ttyUSB0") with both lines low; false when it cannot.
    virtual bool open(const std::string& device) = 0;
    // Raises or drops the chosen lines: 1 RTS, 2 DTR, 3 both.
    virtual void setKeyed(bool keyed, int lines) = 0;
    virtual void close() = 0;
};

class SerialPttPort final : public PttPort {
public:
    SerialPttPort();
    ~SerialPttPort() override;
    bool open(const std::string& device) override;
    void setKeyed(bool keyed, int lines) override;
    void close() override;

private:
    std::unique_ptr<QSerialPort> m_port;
};

} // namespace tavrel
