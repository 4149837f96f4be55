#pragma once
// The serial line that keys the transmitter when the modem does its own PTT.
//
// Opening a serial device raises RTS and DTR: the kernel does it inside open(), before any call
// of ours can run, and no open flag prevents it. SerialPttPort drops both with the very next
// system call (on a pseudo-terminal it starts 0.1 microseconds after open() returns). So the rig
// is keyed, if only briefly: on a UART for a few microseconds, on a USB adapter for as long as the
// adapter takes over the two requests (that needs the hardware to measure). A keyer that reacts
// that fast sees a blip. SerialPttPort also sets HUPCL, so however the descriptor closes, a crash
// of the program included, the kernel drops the lines. Lives on the UI thread.

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace tavrel {

class PttPort {
public:
    virtual ~PttPort() = default;
    // Opens the device ("/dev/ttyS0", "/dev/ttyUSB0") with both lines low; false when it cannot.
    virtual bool open(const std::string& device) = 0;
    // Raises or drops the chosen lines: 1 RTS, 2 DTR, 3 both.
    virtual void setKeyed(bool keyed, int lines) = 0;
    virtual void close() = 0;

    // The device went away (a USB adapter pulled, the line hung up): the port has closed itself.
    // Called from the event loop, never from inside a call of the owner's.
    std::function<void()> onLost;
};

class SerialPttPort final : public PttPort {
public:
    SerialPttPort();
    ~SerialPttPort() override;
    SerialPttPort(const SerialPttPort&) = delete;
    SerialPttPort& operator=(const SerialPttPort&) = delete;

    bool open(const std::string& device) override;
    void setKeyed(bool keyed, int lines) override;
    void close() override;
    bool isOpen() const { return m_fd >= 0; }

private:
    void readable();
    void closeDevice();

    int m_fd = -1;
    // Watches for input only to see the line hang up; the bytes are thrown away.
    std::unique_ptr<QSocketNotifier, void (*)(QSocketNotifier*)> m_watch;
};

} // namespace tavrel
