#include "support/FakeModem.h"

namespace tavrel {

FakeModem::~FakeModem() {
    if (m_display && !m_display->parent()) delete m_display;
}

void FakeModem::SendText(const std::string& t) {
    m_queue += t;
    sent += t;
    calls.push_back("SendText=" + t);
}
void FakeModem::EndTx() {
    ++endTxCount;
    calls.push_back("EndTx()");
}
void FakeModem::AbortTx() {
    m_queue.clear();
    calls.push_back("AbortTx()");
}
void FakeModem::SetPttPort(const std::string& port, int line) {
    pttPort = port.starts_with('/') ? 0 : std::stoi(port);
    pttLine = line;
    calls.push_back("SetPttPort(" + port + "," + std::to_string(line) + ")");
}
void FakeModem::SetDisplayRange(int lo, int hi) {
    rangeLow = lo;
    rangeHigh = hi;
    calls.push_back("SetDisplayRange(" + std::to_string(lo) + "," + std::to_string(hi) + ")");
}
void FakeModem::StartModem(int d, int o) {
    calls.push_back("StartModem(" + std::to_string(d) + "," + std::to_string(o) + ")");
}

QWidget* FakeModem::displayWidget() {
    if (!m_display) {
        m_display = new QWidget();
        m_display->setObjectName("PskModem1");
    }
    return m_display;
}

void FakeModem::drain(int n) {
    m_queue.erase(0, std::min(m_queue.size(), static_cast<size_t>(n)));
}

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
        if (c.starts_with(prefix)) ++n;
    return n;
}

} // namespace tavrel
