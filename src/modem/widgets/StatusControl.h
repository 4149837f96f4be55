#pragma once
// StatusRdy, the program's clock, and IMDRdy: the status area, the typed-text hand-over, the
// settings re-apply and the UTC clock, in that order on every status event.

#include "core/MainState.h"

#include <QObject>
#include <functional>

class QLabel;
class QSlider;

namespace tavrel {

class Modem;
class StatusPanel;
class TransmitControl;
class ReceivePanel;

// The controls outside the status area that the status handling keeps current.
struct StatusTargets {
    QLabel* txrxfreq; // grouped absolute receive frequency
    QLabel* Label47;  // grouped absolute transmit frequency
    QLabel* Label50;  // receive audio frequency
    QLabel* Label51;  // transmit audio frequency
    QSlider* Slider1; // squelch threshold
};

class StatusControl : public QObject {
    Q_OBJECT
public:
    StatusControl(MainState& state, Modem& modem, StatusPanel& status, ReceivePanel& receive,
                  TransmitControl& transmit, StatusTargets targets);

    void StatusRdy(int freq, int level);
    void IMDRdy(int imd);
    void clockUpdate();

    // The rig is on the lower sideband: the audio then lies below the dial.
    void setLowerSideband(bool lower) { m_lowerSideband = lower; }

signals:
    // Each at its place in a status event's order: the squelch speed chosen takes effect; a saved
    // change of the settings is re-applied; then the radio panel is shown or hidden to match.
    void squelchSpeedDue();
    void reapplyDue();
    void radioPanelDue(bool show);

private:
    MainState& m_state;
    Modem& m_modem;
    StatusPanel& m_status;
    ReceivePanel& m_receive;
    TransmitControl& m_transmit;
    StatusTargets m_t;
    bool m_lowerSideband = false;
};

} // namespace tavrel
