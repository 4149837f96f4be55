#pragma once
// The receiver controls: display kind, modulation mode, squelch level and speed, AFC limit,
// search range, trim, and the received-text and focus toggles.

#include "core/MainState.h"

#include <QObject>

namespace tavrel {

class Modem;
class ReceiverControls;

class ReceiverControl : public QObject {
    Q_OBJECT
public:
    ReceiverControl(MainState& state, Modem& modem, ReceiverControls& controls);

    void display_Click();
    void modesel_Click();
    // Run by the status handling on every status event, so the speed chosen takes effect there.
    void applySquelchSpeed();
    // Start-up and every re-apply: the modem is told what each control shows (mode, squelch level,
    // AFC limit, search range, trim), whether or not a value just changed; the display kind's
    // name follows the kind start-up sets.
    void sendControls();
    void scrollstop_Click();
    void txfocus_Click();

    // Start-up: the slow squelch, its threshold in the middle, the waterfall, then sendControls().
    void reset();
    // Start-up: the keyboard is not sent back to the transmit window.
    void resetTxFocus();
    // Start-up: received text is shown again.
    void resumeReceivedText();

private:
    void setAfcLimit(int v);

    MainState& m_state;
    Modem& m_modem;
    ReceiverControls& m_c;
    int m_squelchSpeed = 1; // 0 fast, 1 slow, or the variable speed
    int m_displayKind = 1;  // index into the display kinds, 1 the waterfall
    int m_modeIndex = 0;    // BPSK, QPSK, QPSK on the lower sideband
};

} // namespace tavrel
