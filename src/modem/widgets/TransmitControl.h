#pragma once
// The transmit side: typing into the transmit window, the receive/transmit indicators, BTU,
// Tune, Abort, Clear, the button colours, TxStateChg and PTT on the CAT port's RTS line.

#include "core/MainState.h"
#include "modem/TransmitFlow.h"

#include <QObject>
#include <functional>
#include <string>

class QLabel;

namespace tavrel {

class Modem;
class SerialPort;
class TransmitPanel;
class QsoButtons;

class TransmitControl : public QObject {
    Q_OBJECT
public:
    TransmitControl(MainState& state, Modem& modem, SerialPort& comm2, TransmitPanel& transmit,
                    QsoButtons& qso, QLabel& txrxrec, QLabel& txrxtx);

    // Switching by the indicator labels: a receive label starts transmitting, a transmit label
    // goes back to receive once the queue is sent.
    void switchToTransmit(QLabel* clicked, QLabel* partner);
    void switchToReceive(QLabel* clicked, QLabel* partner);
    void txtTXData_Change();
    void btu_Click();
    void tune_Click();
    void abort_Click();
    void cleartx_Click();
    void TxStateChg(int state);

    void resetToverBtuColours();
    void resetQsoButtonColours();

    // The transmit part of StatusRdy, in the order the status handling calls them.
    void showPending();       // the count of queued characters
    void handOverTypedText(); // typed text and a due BTU line
    void colourReceiveWindows(QWidget* line, QWidget* history);
    void resetBtuColoursWhenReceiving();

    // The transmit window's text as the air will carry it: line breaks are CR LF.
    std::string typedText() const;

    // The store of the contact once the over with the sign-off has ended; wired by the logbook.
    // True when the contact was stored.
    std::function<bool()> storeContact;

    TransmitFlow& flow() { return m_flow; }

private:
    void keyCatPort(bool on);
    void removeSignOffNotices();

    MainState& m_state;
    TransmitFlow m_flow;
    Modem& m_modem;
    SerialPort& m_comm2;
    TransmitPanel& m_transmit;
    QsoButtons& m_qso;
    QLabel& m_txrxrec;
    QLabel& m_txrxtx;
};

} // namespace tavrel
