#include "support/FakeModem.h"

namespace tavrel {

FakeModem::FakeModem(QObject* parent) : Modem(parent) {}
FakeModem::~FakeModem() {
    if (m_display && !m_display->parent()) delete m_display;
}

void FakeModem::setRxFreq(int hz) { m_rxFreq = hz; calls.push_back("RxFreq=" + std::to_string(hz)); }
void FakeModem::setTxFreq(int hz) { m_txFreq = hz; calls.push_back("TxFreq=" + std::to_string(hz)); }
void FakeModem::setDialFreq(double khz) {
    m_dialFreq = khz;
    calls.push_back("DialFreq=" + std::to_string(khz));
}
void FakeModem::setMode(int m) { mode = m; calls.push_back("Mode=" + std::to_string(m)); }
void FakeModem::setSquelchThreshold(int v) {
    squelchThreshold = v;
    calls.push_back("SquelchThreshold=" + std::to_string(v));
}
void FakeModem::setSquelchSpeed(int v) { squelchSpeed = v; calls.push_back("SquelchSpeed=" + std::to_string(v)); }
void FakeModem::setAfcLimit(int v) { m_afcLimit = v; calls.push_back("AfcLimit=" + std::to_string(v)); }
void FakeModem::setSearchRange(int v) { searchRange = v; calls.push_back("SearchRange=" + std::to_string(v)); }
void FakeModem::setTrimValue(int v) { trimValue = v; calls.push_back("TrimValue=" + std::to_string(v)); }
void FakeModem::setDisplayType(int v) { displayType = v; calls.push_back("DisplayType=" + std::to_string(v)); }
void FakeModem::setAuxSetting(int v) { auxSetting = v; calls.push_back("AuxSetting=" + std::to_string(v)); }
void FakeModem::setIdText(const std::string& t) { idText = t; calls.push_back("IdText=" + t); }
void FakeModem::SendText(const std::string& t) {
    m_queue += t;
    sent += t;
    calls.push_back("SendText=" + t);
}
void FakeModem::StartTx(int m) { lastStartTx = m; calls.push_back("StartTx(" + std::to_string(m) + ")"); }
void FakeModem::EndTx() { ++endTxCount; calls.push_back("EndTx()"); }
void FakeModem::AbortTx() { m_queue.clear(); calls.push_back("AbortTx()"); }
void FakeModem::SetPttPort(const std::string& port, int line) {
    pttDevice = port;
    pttPort = port.starts_with('/') ? 0 : std::stoi(port);
    pttLine = line;
    calls.push_back("SetPttPort(" + port + "," + std::to_string(line) + ")");
}
void FakeModem::SetDisplayRange(int lo, int hi) {
    rangeLow = lo;
    rangeHigh = hi;
    calls.push_back("SetDisplayRange(" + std::to_string(lo) + "," + std::to_string(hi) + ")");
}
void FakeModem::LoadPalette(const std::string& p) { palettePath = p; calls.push_back("LoadPalette=" + p); }
void FakeModem::StartModem(int d, int o) {
    calls.push_back("StartModem(" + std::to_string(d) + "," + std::to_string(o) + ")");
}
void FakeModem::Replay(int s) { calls.push_back("Replay(" + std::to_string(s) + ")"); }

QWidget* FakeModem::displayWidget() {
    if (!m_display) {
        m_display = new QWidget();
        m_display->setObjectName("PskModem1");
    }
    return m_display;
}

void FakeModem::setPending(int n) { m_queue.assign(static_cast<size_t>(n), 'x'); }
void FakeModem::drain(int n) { m_queue.erase(0, std::min(m_queue.size(), static_cast<size_t>(n))); }

void FakeModem::transmit(int n) {
    for (int i = 0; i < n && !m_queue.empty(); ++i) {
        const unsigned char c = static_cast<unsigned char>(m_queue.front());
        m_queue.erase(0, 1);
        emit RxCharRdy(c, 0);
    }
}

int FakeModem::countCalls(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) ++n;
    return n;
}

} // namespace tavrel
