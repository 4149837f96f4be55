#include "modem/widgets/ReceiveControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "modem/Modem.h"
#include "modem/widgets/ReceivePanel.h"
#include "modem/widgets/TransmitPanel.h"

#include <QScrollBar>
#include <QTextCursor>

namespace tavrel {

namespace {
// The history keeps CR LF pairs; the window shows each as one line break.
QString displayText(const std::string& bytes) {
    QString t = toQString(bytes);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace

ReceiveControl::ReceiveControl(MainState& state, Modem& modem, ReceivePanel& receive, TransmitPanel& transmit,
                               QLineEdit& textclick)
    : QObject(&receive), m_state(state), m_modem(modem), m_receive(receive), m_transmit(transmit),
      m_textclick(textclick) {
    connect(&modem, &Modem::RxCharRdy, this, [this](int code, int) { RxCharRdy(code); });
    onClick(receive.clearrx, [this] { clearrx_Click(); });
    onDoubleClick(receive.txtRXData,
                  [this] { captureSelection(m_receive.txtRXData->textCursor().selectedText()); });
    onDoubleClick(receive.txtrxdata1, [this] { captureSelection(m_receive.txtrxdata1->selectedText()); });
}

void ReceiveControl::RxCharRdy(int code) {
    const char rxChar = substituteReceived(static_cast<char>(code & 0xFF), m_state.slashZero);
    if (m_state.rxDisplayOn == 1) show(appendReceived(m_windows, rxChar));
    if (m_state.keepTxFocus == 1) m_transmit.txtTXData->setFocus();
    emit characterShown();
    if (m_modem.TxPending() >= 1) m_modem.StartTx(0);
}

void ReceiveControl::show(const ReceiveChange& change) {
    if (change.lineChanged) m_receive.txtrxdata1->setText(toQString(m_windows.line));
    if (change.trimmed > 0) {
        redrawHistory();
    } else if (!change.moved.empty()) {
        QTextCursor c(m_receive.txtRXData->document());
        c.movePosition(QTextCursor::End);
        c.insertText(displayText(change.moved));
    }
    // The newest text in view.
    m_receive.txtRXData->moveCursor(QTextCursor::End);
    m_receive.txtRXData->ensureCursorVisible();
}

void ReceiveControl::redrawHistory() {
    m_receive.txtRXData->setPlainText(displayText(m_windows.history));
    m_receive.txtRXData->moveCursor(QTextCursor::End);
    m_receive.txtRXData->ensureCursorVisible();
}

void ReceiveControl::clearrx_Click() {
    clearHistory(m_windows);
    redrawHistory();
}

void ReceiveControl::appendToHistory(const std::string& text) {
    m_windows.history += text;
    if (m_windows.history.size() > ReceiveWindows::kHistoryMax)
        m_windows.history.erase(0, m_windows.history.size() - ReceiveWindows::kHistoryKeep);
    redrawHistory();
}

void ReceiveControl::captureSelection(const QString& selected) {
    // QTextCursor marks line breaks inside a selection with U+2029.
    QString word = selected;
    word.replace(QChar(0x2029), QLatin1Char(' '));
    m_textclick.setText(word);
}

} // namespace tavrel
