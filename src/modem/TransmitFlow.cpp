#include "modem/TransmitFlow.h"

#include "core/Numeric.h"
#include "core/QtText.h"
#include "modem/QsoTexts.h"
#include "radio/PortNames.h"

namespace tavrel {

void TransmitFlow::typed(const QString& text) {
    if (text.isEmpty()) return;
    const QChar last = text.back();
    if (last == QLatin1Char('\n') || last == QLatin1Char('\r')) {
        m_s.pendingTx += "\r\n";
        return;
    }
    if (m_s.txState == 1 && m_s.liveTyping == 1) m_s.pendingTx += toBytes(QString(last));
}

void TransmitFlow::startLive(const std::string& windowText) {
    m_s.pendingTx = windowText;
    m_s.liveTyping = 1;
}

void TransmitFlow::btu(const std::string& windowText) {
    m_s.txState = 1;
    m_s.pendingTx = windowText + kCrLf;
    m_s.btuTailDue = 1;
    m_btuColourDue = 1;
}

int TransmitFlow::remaining(int modemPending) const {
    const int typed = m_s.txState == 1 ? static_cast<int>(m_s.pendingTx.size()) : 0;
    return modemPending + typed;
}

std::optional<std::string> TransmitFlow::typedDue(int modemPending) {
    if (m_s.txState != 1 || modemPending != 0 || m_s.pendingTx.empty()) return std::nullopt;
    std::string text;
    text.swap(m_s.pendingTx);
    return text;
}

std::optional<std::string> TransmitFlow::btuTailDue(int modemPending) {
    if (modemPending != 0 || !m_s.pendingTx.empty() || m_s.btuTailDue != 1) return std::nullopt;
    m_s.btuTailDue = 0;
    return btuLine(m_s.item(Item::OwnCall), m_s.hisCallUpper, m_s.sep3);
}

bool TransmitFlow::btuColourBackDue() {
    if (m_btuColourDue != 1 || m_s.txState != 0) return false;
    m_btuColourDue = 0;
    return true;
}

void TransmitFlow::holdSignOff() {
    m_s.pendingTx.clear();
    m_s.signOffHeld = 1;
}

bool TransmitFlow::signOffReleaseDue(int modemPending) const {
    return m_s.signOffHeld == 1 && modemPending < 10;
}

void TransmitFlow::signOffQueued() {
    m_s.logAfterTx = 1;
    m_s.signOffHeld = 0;
}

bool TransmitFlow::storeDue(int modemPending) {
    if (modemPending > 0 || m_s.logAfterTx != 1) return false;
    m_s.logAfterTx = 0;
    return true;
}

bool TransmitFlow::toggleTune() {
    m_tuneOn = m_tuneOn == 0 ? 1 : 0;
    return m_tuneOn == 1;
}

bool TransmitFlow::abort() {
    m_s.pendingTx.clear();
    m_s.btuTailDue = 0;
    m_btuColourDue = 0;
    m_s.signOffHeld = 0;
    m_s.logAfterTx = 0;
    m_s.txState = 0; // typing builds up the window until a transmit control is pressed
    const bool tuneWasOn = m_tuneOn == 1;
    m_tuneOn = 0;
    return tuneWasOn;
}

QString withoutSignOffNotices(QString text) {
    for (const char* notice : {kSignOffHeldNotice, kSignOffQueuedNotice})
        text.remove(QStringLiteral("\n") + QString::fromLatin1(notice));
    return text;
}

CatPttLines catPttLines(const std::string& pttPort, const std::string& catPort, const std::string& pttLine) {
    if (numberValue(pttPort) == 0 && !isDevicePath(pttPort)) return {true, false};
    if (!sameDevice(pttPort, catPort)) return {};
    const int lines = wholeNumber16(pttLine);
    return {lines == 1 || lines == 3, lines == 2 || lines == 3};
}

} // namespace tavrel
