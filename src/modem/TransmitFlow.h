#pragma once
// The transmit side's bookkeeping, without widgets: what typing queues, what a status event hands
// to the modem, the held sign-off and the store after it, Tune, and what Abort leaves. The flags
// live in the shared state (start-up resets them there); the controllers show the result and tell
// the modem.

#include "core/MainState.h"

#include <QString>
#include <optional>
#include <string>

namespace tavrel {

class TransmitFlow {
public:
    explicit TransmitFlow(MainState& state) : m_s(state) {}

    // The transmit window changed and now holds `text`. Only the last character is looked at: a
    // line break (the Enter key's CR) queues CR LF whatever the state, anything else is queued
    // only while transmitting live.
    void typed(const QString& text);
    // A receive label was clicked: the window's text so far is what goes out, then live typing.
    void startLive(const std::string& windowText);
    // BTU: the window's text and a line end go first, the closing line once they have gone.
    void btu(const std::string& windowText);

    // Characters still to go out: the modem's queue and, while transmitting, the typed text that
    // waits for it.
    int remaining(int modemPending) const;
    // The receive windows show red while anything is on its way out.
    bool sending(int modemPending) const { return modemPending > 0 || m_s.txState == 1; }
    // The typed text to hand to the modem now that its queue ran empty; it leaves the queue.
    std::optional<std::string> typedDue(int modemPending);
    // BTU's closing line, due once the modem's queue and the typed text are empty.
    std::optional<std::string> btuTailDue(int modemPending);
    // BTU's colour goes back once the over has ended.
    bool btuColourBackDue();

    // End QSO: what was typed ahead goes out with the sign-off, whose tail is held.
    void holdSignOff();
    // The held tail is released once fewer than 10 characters wait to be sent ...
    bool signOffReleaseDue(int modemPending) const;
    // ... and once it is queued, the contact is stored when the over ends.
    void signOffQueued();
    // The over ended (nothing pending) after the sign-off: store the contact, once.
    bool storeDue(int modemPending);

    // Tune on/off; true when it is now on.
    bool toggleTune();
    // Abort is final: nothing that is due may key the transmitter again. True when Tune was on.
    bool abort();
    void txStateChanged(int state) { m_s.txState = state; }

private:
    MainState& m_s;
    int m_tuneOn = 0;       // 1 while the tune carrier is on
    int m_btuColourDue = 0; // 1 while BTU's colour waits for the over to end
};

// The window's text without the sign-off notices, which must never go on the air.
QString withoutSignOffNotices(QString text);

// The CAT port's lines that key the transmitter, from the PTT port, CAT port and PTT line items:
// without a PTT port RTS keys; a PTT port on the CAT port's own cable keys its line setting
// (1 RTS, 2 DTR, 3 both); another port is the modem's own.
struct CatPttLines {
    bool rts = false;
    bool dtr = false;
    bool operator==(const CatPttLines&) const = default;
};
CatPttLines catPttLines(const std::string& pttPort, const std::string& catPort, const std::string& pttLine);

} // namespace tavrel
