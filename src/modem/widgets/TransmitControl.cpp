#include "modem/widgets/TransmitControl.h"

#include "core/Controls.h"
#include "core/Numeric.h"
#include "core/QtText.h"
#include "modem/Modem.h"
#include "modem/QsoTexts.h"
#include "modem/widgets/QsoButtons.h"
#include "modem/widgets/TransmitPanel.h"
#include "radio/PortNames.h"
#include "radio/SerialPort.h"

#include <QSignalBlocker>

namespace tavrel {

TransmitControl::TransmitControl(MainState& state, Modem& modem, SerialPort& comm2, TransmitPanel& transmit,
                                 QsoButtons& qso, QLabel& txrxrec, QLabel& txrxtx)
    : QObject(&transmit), m_state(state), m_modem(modem), m_comm2(comm2), m_transmit(transmit), m_qso(qso),
      m_txrxrec(txrxrec), m_txrxtx(txrxtx) {
    connect(&modem, &Modem::TxStateChg, this, &TransmitControl::TxStateChg);
    onClick(&txrxrec, [this] { switchToTransmit(&m_txrxrec, &m_txrxtx); });
    onClick(transmit.Label52, [this] { switchToTransmit(m_transmit.Label52, m_transmit.Label53); });
    onClick(&txrxtx, [this] { switchToReceive(&m_txrxtx, &m_txrxrec); });
    onClick(transmit.Label53, [this] { switchToReceive(m_transmit.Label53, m_transmit.Label52); });
    connect(transmit.txtTXData, &QPlainTextEdit::textChanged, this, &TransmitControl::txtTXData_Change);
    onClick(qso.btu, [this] { btu_Click(); });
    onClick(transmit.tune, [this] { tune_Click(); });
    onClick(transmit.abort, [this] { abort_Click(); });
    onClick(transmit.cleartx, [this] { cleartx_Click(); });
}

std::string TransmitControl::typedText() const {
    QString t = m_transmit.txtTXData->toPlainText();
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return toBytes(t);
}

void TransmitControl::switchToTransmit(QLabel* clicked, QLabel* partner) {
    m_modem.StartTx(0);
    clicked->setVisible(false);
    partner->setVisible(true);
    m_state.pendingTx = typedText();
    m_state.liveTyping = 1;
}

void TransmitControl::switchToReceive(QLabel* clicked, QLabel* partner) {
    m_modem.EndTx();
    clicked->setVisible(false);
    partner->setVisible(true);
}

// Only the last character is looked at. The window ends a typed line with a line break, which
// stands for the CR of the Enter key: it queues CR LF.
void TransmitControl::txtTXData_Change() {
    const QString text = m_transmit.txtTXData->toPlainText();
    if (text.isEmpty()) return;
    const QChar last = text.back();
    if (last == QLatin1Char('\n') || last == QLatin1Char('\r')) {
        m_state.pendingTx += "\r\n";
        return;
    }
    if (m_state.txState == 1 && m_state.liveTyping == 1) m_state.pendingTx += toBytes(QString(last));
}

void TransmitControl::btu_Click() {
    m_state.txState = 1;
    m_state.pendingTx = typedText() + kCrLf;
    setBackColour(m_qso.btu, colours::brightGreen);
    m_state.btuTailDue = 1;
    m_btuColourDue = 1;
    m_modem.StartTx(0);
}

void TransmitControl::tune_Click() {
    m_tuneOn = m_tuneOn == 0 ? 1 : 0;
    if (m_tuneOn == 1) {
        setBackColour(m_transmit.tune, colours::red);
        m_modem.StartTx(4);
    } else {
        setBackColour(m_transmit.tune, colours::green);
        m_modem.EndTx();
    }
}

// Abort is final: nothing that is due may key the transmitter again afterwards - not the BTU
// line, typed text waiting for the queue, the held sign-off, its tail or the store after it. The
// entry panel keeps the contact for "Log Entry".
void TransmitControl::abort_Click() {
    setBackColour(m_transmit.abort, colours::red);
    m_modem.AbortTx();
    m_state.pendingTx.clear();
    m_state.btuTailDue = 0;
    m_btuColourDue = 0;
    m_state.signOffHeld = 0;
    m_state.logAfterTx = 0;
    m_state.txState = 0; // typing builds up the window until a transmit control is pressed
    if (m_tuneOn == 1) {
        m_tuneOn = 0;
        setBackColour(m_transmit.tune, colours::green);
    }
    removeSignOffNotices();
    m_transmit.txfr->setVisible(false);
    resetToverBtuColours();
    resetQsoButtonColours();
}

// The notices say what no longer holds after an abort, and must never go on the air with the
// window's text.
void TransmitControl::removeSignOffNotices() {
    QString text = m_transmit.txtTXData->toPlainText();
    const QString before = text;
    for (const char* notice : {kSignOffHeldNotice, kSignOffQueuedNotice})
        text.remove(QStringLiteral("\n") + QString::fromLatin1(notice));
    if (text == before) return;
    const QSignalBlocker quiet(m_transmit.txtTXData);
    m_transmit.txtTXData->setPlainText(text);
}

void TransmitControl::cleartx_Click() {
    m_transmit.txtTXData->clear();
}

void TransmitControl::resetToverBtuColours() {
    setBackColour(m_qso.tover, colours::buttonFace());
    setBackColour(m_qso.btu, colours::buttonFace());
}

void TransmitControl::resetQsoButtonColours() {
    for (QPushButton* b :
         {m_qso.cq, m_qso.answer, m_qso.tover, m_qso.report, m_qso.qth, m_qso.stn, m_qso.weather, m_qso.qsl})
        setBackColour(b, colours::buttonFace());
    for (QPushButton* b : m_qso.mtext)
        setBackColour(b, colours::buttonFace());
    for (QPushButton* b : {m_qso.btu, m_qso.endqb, m_transmit.abort})
        setBackColour(b, colours::buttonFace());
}

void TransmitControl::TxStateChg(int state) {
    const bool pending = m_modem.TxPending() > 0;
    m_transmit.txtit->setVisible(pending);
    m_transmit.tx->setVisible(pending);
    m_transmit.txfr->setVisible(pending);
    if (!pending && m_state.logAfterTx == 1) {
        m_state.logAfterTx = 0;
        // A contact that could not be stored stays in the panel, and the notices with it.
        if (storeContact && storeContact()) m_transmit.txtTXData->clear();
    }
    if (!pending) setBackColour(m_qso.cq, colours::buttonFace());
    m_txrxrec.setVisible(state == 0);
    m_transmit.Label52->setVisible(state == 0);
    m_txrxtx.setVisible(state != 0);
    m_transmit.Label53->setVisible(state != 0);
    keyCatPort(state == 1);
    m_state.txState = state;
}

void TransmitControl::keyCatPort(bool on) {
    const std::string& pttPort = m_state.item(Item::PttPort);
    if (numberValue(pttPort) == 0 && !isDevicePath(pttPort)) {
        // Without a PTT port of its own the transmitter is keyed by RTS on the CAT port.
        m_comm2.setRTSEnable(on);
    } else if (sameDevice(pttPort, m_state.item(Item::CatPort))) {
        // PTT named on the CAT port's own cable: the port is opened once, for CAT, and PTT is keyed
        // on its lines as the PTT line setting says (1 RTS, 2 DTR, 3 both).
        const int lines = wholeNumber16(m_state.item(Item::PttLine));
        if (lines == 1 || lines == 3) m_comm2.setRTSEnable(on);
        if (lines == 2 || lines == 3) m_comm2.setDTREnable(on);
    }
}

// Typed text that waits for the modem's queue to empty is still to go out: it is counted too.
void TransmitControl::showPending() {
    const int typed = m_state.txState == 1 ? static_cast<int>(m_state.pendingTx.size()) : 0;
    const int remaining = m_modem.TxPending() + typed;
    m_transmit.tx->setText(QString::number(remaining));
    if (remaining > 0)
        for (QWidget* w : {static_cast<QWidget*>(m_transmit.txtit), static_cast<QWidget*>(m_transmit.tx),
                           static_cast<QWidget*>(m_transmit.txfr)})
            w->setVisible(true);
}

void TransmitControl::handOverTypedText() {
    if (m_state.txState == 1 && m_modem.TxPending() == 0 && !m_state.pendingTx.empty()) {
        m_modem.SendText(m_state.pendingTx);
        m_state.pendingTx.clear();
        m_transmit.txtTXData->clear();
    }
    if (m_modem.TxPending() == 0 && m_state.pendingTx.empty() && m_state.btuTailDue == 1) {
        m_modem.SendText(btuLine(m_state.item(Item::OwnCall), m_state.hisCallUpper, m_state.sep3));
        m_modem.StartTx(0);
        m_modem.EndTx();
        m_state.btuTailDue = 0;
    }
}

void TransmitControl::colourReceiveWindows(QWidget* line, QWidget* history) {
    const QColor c = (m_modem.TxPending() > 0 || m_state.txState == 1) ? colours::red : colours::black;
    setForeColour(line, c);
    setForeColour(history, c);
}

void TransmitControl::resetBtuColoursWhenReceiving() {
    if (m_btuColourDue == 1 && m_state.txState == 0) {
        resetToverBtuColours();
        m_btuColourDue = 0;
    }
}

} // namespace tavrel
