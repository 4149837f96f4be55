#include "modem/widgets/TransmitControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "modem/Modem.h"
#include "modem/widgets/QsoButtons.h"
#include "modem/widgets/TransmitPanel.h"
#include "radio/SerialPort.h"

#include <QSignalBlocker>

namespace tavrel {

TransmitControl::TransmitControl(MainState& state, Modem& modem, SerialPort& comm2, TransmitPanel& transmit,
                                 QsoButtons& qso, QLabel& txrxrec, QLabel& txrxtx)
    : QObject(&transmit), m_state(state), m_flow(state), m_modem(modem), m_comm2(comm2), m_transmit(transmit),
      m_qso(qso), m_txrxrec(txrxrec), m_txrxtx(txrxtx) {
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
    m_flow.startLive(typedText());
}

void TransmitControl::switchToReceive(QLabel* clicked, QLabel* partner) {
    m_modem.EndTx();
    clicked->setVisible(false);
    partner->setVisible(true);
}

void TransmitControl::txtTXData_Change() {
    m_flow.typed(m_transmit.txtTXData->toPlainText());
}

void TransmitControl::btu_Click() {
    m_flow.btu(typedText());
    setBackColour(m_qso.btu, colours::brightGreen);
    m_modem.StartTx(0);
}

void TransmitControl::tune_Click() {
    if (m_flow.toggleTune()) {
        setBackColour(m_transmit.tune, colours::red);
        m_modem.StartTx(4);
    } else {
        setBackColour(m_transmit.tune, colours::green);
        m_modem.EndTx();
    }
}

// The entry panel keeps the contact for "Log Entry".
void TransmitControl::abort_Click() {
    setBackColour(m_transmit.abort, colours::red);
    m_modem.AbortTx();
    if (m_flow.abort()) setBackColour(m_transmit.tune, colours::green);
    removeSignOffNotices();
    m_transmit.txfr->setVisible(false);
    resetToverBtuColours();
    resetQsoButtonColours();
}

// The notices say what no longer holds after an abort.
void TransmitControl::removeSignOffNotices() {
    const QString before = m_transmit.txtTXData->toPlainText();
    const QString text = withoutSignOffNotices(before);
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
    if (m_flow.storeDue(m_modem.TxPending())) {
        // A contact that could not be stored stays in the panel, and the notices with it.
        if (storeContact && storeContact()) m_transmit.txtTXData->clear();
    }
    if (!pending) setBackColour(m_qso.cq, colours::buttonFace());
    m_txrxrec.setVisible(state == 0);
    m_transmit.Label52->setVisible(state == 0);
    m_txrxtx.setVisible(state != 0);
    m_transmit.Label53->setVisible(state != 0);
    keyCatPort(state == 1);
    m_flow.txStateChanged(state);
}

void TransmitControl::keyCatPort(bool on) {
    // PTT on the CAT port's own cable: the port is opened once, for CAT.
    const CatPttLines lines =
        catPttLines(m_state.item(Item::PttPort), m_state.item(Item::CatPort), m_state.item(Item::PttLine));
    if (lines.rts) m_comm2.setRTSEnable(on);
    if (lines.dtr) m_comm2.setDTREnable(on);
}

// Typed text that waits for the modem's queue to empty is still to go out: it is counted too.
void TransmitControl::showPending() {
    const int remaining = m_flow.remaining(m_modem.TxPending());
    m_transmit.tx->setText(QString::number(remaining));
    if (remaining > 0)
        for (QWidget* w : {static_cast<QWidget*>(m_transmit.txtit), static_cast<QWidget*>(m_transmit.tx),
                           static_cast<QWidget*>(m_transmit.txfr)})
            w->setVisible(true);
}

void TransmitControl::handOverTypedText() {
    if (const auto typed = m_flow.typedDue(m_modem.TxPending())) {
        m_modem.SendText(*typed);
        m_transmit.txtTXData->clear();
    }
    if (const auto tail = m_flow.btuTailDue(m_modem.TxPending())) {
        m_modem.SendText(*tail);
        m_modem.StartTx(0);
        m_modem.EndTx();
    }
}

void TransmitControl::colourReceiveWindows(QWidget* line, QWidget* history) {
    const QColor c = m_flow.sending(m_modem.TxPending()) ? colours::red : colours::black;
    setForeColour(line, c);
    setForeColour(history, c);
}

void TransmitControl::resetBtuColoursWhenReceiving() {
    if (m_flow.btuColourBackDue()) resetToverBtuColours();
}

} // namespace tavrel
