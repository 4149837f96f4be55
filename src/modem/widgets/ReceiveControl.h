#pragma once
// RxCharRdy: received characters into the line and history windows, the focus return, the
// sign-off check and keeping the transmitter keyed. Also the clear button and the double-click
// that captures a word for the log.

#include "core/MainState.h"
#include "modem/ReceiveText.h"

#include <QLineEdit>
#include <QObject>
#include <functional>

namespace tavrel {

class Modem;
class ReceivePanel;
class TransmitPanel;

class ReceiveControl : public QObject {
    Q_OBJECT
public:
    ReceiveControl(MainState& state, Modem& modem, ReceivePanel& receive, TransmitPanel& transmit,
                   QLineEdit& textclick);

    void RxCharRdy(int code);
    void clearrx_Click();
    // Appends text to the history as it stands (start-up's eleven line ends).
    void appendToHistory(const std::string& text);

    const ReceiveWindows& windows() const { return m_windows; }

signals:
    // A character has been received and shown: the held sign-off may go now.
    void characterShown();

private:
    void show(const ReceiveChange& change);
    void redrawHistory();
    void captureSelection(const QString& selected);

    MainState& m_state;
    Modem& m_modem;
    ReceivePanel& m_receive;
    TransmitPanel& m_transmit;
    QLineEdit& m_textclick;
    ReceiveWindows m_windows;
};

} // namespace tavrel
