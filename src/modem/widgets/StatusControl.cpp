#include "modem/widgets/StatusControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "modem/Modem.h"
#include "modem/StatusText.h"
#include "modem/widgets/ReceivePanel.h"
#include "modem/widgets/StatusPanel.h"
#include "modem/widgets/TransmitControl.h"

#include <QSlider>

namespace tavrel {

StatusControl::StatusControl(MainState& state, Modem& modem, StatusPanel& status, ReceivePanel& receive,
                             TransmitControl& transmit, StatusTargets targets)
    : QObject(&status), m_state(state), m_modem(modem), m_status(status), m_receive(receive),
      m_transmit(transmit), m_t(targets) {
    connect(&modem, &Modem::StatusRdy, this, &StatusControl::StatusRdy);
    connect(&modem, &Modem::IMDRdy, this, [this](int imd, int) { IMDRdy(imd); });
    connect(&modem, &Modem::InputPeak, status.inputMeter, &InputMeter::setPeak);
}

void StatusControl::StatusRdy(int freq, int level) {
    // Frequencies, signal bar, squelch lamp.
    m_status.Label16->setText(QString::number(freq));
    m_status.Label20->setText(QString::number(m_modem.TxFreq()));
    m_status.signalBar->setMaskHeight(signalMaskHeight(level));
    setForeColour(m_status.Label2, squelchOpen(level, m_t.Slider1->value()) ? colours::green : colours::red);
    // The queue's count, the Net lock of the transmit frequency, typed text handed over.
    m_transmit.showPending();
    const bool net = m_status.Check1->isChecked();
    if (net) m_modem.setTxFreq(m_modem.RxFreq());
    m_transmit.handOverTypedText();
    // A squelch speed typed into its box takes effect here.
    emit squelchSpeedDue();
    // Absolute frequencies.
    m_state.rxAbsFreq = absoluteFrequency(m_modem.RxFreq(), m_modem.DialFreq(), m_lowerSideband);
    m_state.txAbsFreq = absoluteFrequency(m_modem.TxFreq(), m_modem.DialFreq(), m_lowerSideband);
    m_t.txrxfreq->setText(toQString(groupFrequency(m_state.rxAbsFreq, m_modem.DialFreq())));
    m_t.Label47->setVisible(!net);
    m_t.Label51->setVisible(!net);
    m_t.Label51->setText(QString::number(m_modem.TxFreq()));
    m_t.Label50->setText(QString::number(m_modem.RxFreq()));
    m_t.Label47->setText(toQString(groupFrequency(m_state.txAbsFreq, m_modem.DialFreq())));
    // Settings saved by a settings window, a band, a preset or a macro edit.
    // The band restore inside the re-apply saves again, and that save is what switches the panel.
    SettingsStore& settings = m_state.settings;
    if (settings.changePending()) {
        emit reapplyDue();
        if (settings.changePending()) emit radioPanelDue(m_state.item(Item::RadioControl) == "Yes");
        settings.takeChange();
    }
    // The clock, the receive windows' colour, BTU's colour after the over.
    clockUpdate();
    m_transmit.colourReceiveWindows(m_receive.txtrxdata1, m_receive.txtRXData);
    m_transmit.resetBtuColoursWhenReceiving();
}

void StatusControl::clockUpdate() {
    m_state.utcTime = utcClock(m_state.clock, m_state.item(Item::GmtOffset));
    m_status.Label49->setText(toQString(m_state.utcTime));
}

void StatusControl::IMDRdy(int imd) {
    setForeColour(m_status.lblimd, imdTooHigh(imd) ? colours::red : colours::darkGreen);
    m_status.lblimd->setText(QString::number(imd));
}

} // namespace tavrel
