#pragma once
// A serial port for tests: keeps the rules of the real one (no CommPort change while open, nothing
// written while closed, settings text checked) and records everything the program did to it.

#include "radio/PortNames.h"
#include "radio/SerialPort.h"

#include <set>
#include <string>
#include <vector>

namespace tavrel {

class FakeSerial final : public SerialPort {
public:
    enum class Property { CommPort, Settings, Handshaking, PortOpen, Output, RTSEnable, DTREnable };

    bool setCommPort(const std::string& port) override {
        return change(Property::CommPort, "CommPort=" + port, !m_open && isPortItem(port), m_commPort, port);
    }
    std::string commPort() const override { return m_commPort; }
    bool setSettings(const std::string& text) override {
        return change(Property::Settings, "Settings=" + text, parseLineSettings(text).has_value(), m_settings,
                      text);
    }
    std::string settings() const override { return m_settings; }
    bool setHandshaking(int mode) override {
        return change(Property::Handshaking, "Handshaking=" + std::to_string(mode), mode >= 0 && mode <= 2,
                      m_handshaking, mode);
    }
    int handshaking() const override { return m_handshaking; }
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return m_open; }
    bool output(const std::string& bytes) override;
    bool setRTSEnable(bool on) override;
    bool rtsEnable() const override { return m_rts; }
    bool setDTREnable(bool on) override {
        return change(Property::DTREnable, on ? "DTREnable=1" : "DTREnable=0", m_open, m_dtr, on);
    }
    bool dtrEnable() const override { return m_dtr; }

    // Every write of that property fails (changing nothing) until told otherwise.
    void failWrites(Property p, bool fail = true);

    // Each property write in order: "CommPort=1", "Settings=9600, N, 8, 2", "Handshaking=0",
    // "PortOpen=1", "Output=FE FE 04", "RTSEnable=1", "DTREnable=1"; a write that failed ends in " (failed)".
    // Output while closed is not recorded at all.
    const std::vector<std::string>& writes() const { return m_writes; }
    // All bytes that went out, in order.
    const std::string& written() const { return m_written; }
    void clearRecord();

private:
    bool record(Property p, const std::string& text, bool ok);
    // Records the write and, when it succeeds, sets the property.
    template <typename T>
    bool change(Property p, const std::string& text, bool ok, T& property, const T& value) {
        if (!record(p, text, ok)) return false;
        property = value;
        return true;
    }

    std::set<Property> m_failing;
    std::vector<std::string> m_writes;
    std::string m_written;
    std::string m_commPort;
    std::string m_settings = "9600,N,8,1";
    int m_handshaking = 0;
    bool m_open = false;
    bool m_rts = false;
    bool m_dtr = false;
};

// "FE FE 04": bytes as upper-case hex pairs, the form Output writes are recorded in.
std::string hexBytes(const std::string& bytes);

} // namespace tavrel
