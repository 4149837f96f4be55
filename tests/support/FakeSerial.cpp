#include "support/FakeSerial.h"

#include <cstdio>

namespace tavrel {

std::string hexBytes(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", c);
        if (!out.empty()) out += ' ';
        out += pair;
    }
    return out;
}

bool FakeSerial::record(Property p, const std::string& text, bool ok) {
    ok = ok && !m_failing.contains(p);
    m_writes.push_back(ok ? text : text + " (failed)");
    return ok;
}

bool FakeSerial::setPortOpen(bool open) {
    const bool ok = open ? !m_open && isPortItem(m_commPort) : true;
    if (!record(Property::PortOpen, open ? "PortOpen=1" : "PortOpen=0", ok)) return false;
    m_rts = m_rts && open;
    m_dtr = m_dtr && open;
    m_open = open;
    return true;
}

bool FakeSerial::output(const std::string& bytes) {
    if (!m_open) return false;
    if (!record(Property::Output, "Output=" + hexBytes(bytes), true)) return false;
    m_written += bytes;
    return true;
}

bool FakeSerial::setRTSEnable(bool on) {
    if (!record(Property::RTSEnable, on ? "RTSEnable=1" : "RTSEnable=0", m_open)) return false;
    m_rts = on;
    return true;
}

void FakeSerial::failWrites(Property p, bool fail) {
    if (fail)
        m_failing.insert(p);
    else
        m_failing.erase(p);
}

void FakeSerial::clearRecord() {
    m_writes.clear();
    m_written.clear();
}

} // namespace tavrel
