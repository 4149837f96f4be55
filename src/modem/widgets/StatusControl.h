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
    QLabel* txrxfreq;    // grouped absolute receive frequency
    QLabel* Label47;     // grouped absolute transmit frequency
    QLabel* Label50;     // receive audio frequency
    QLabel* Label51;     // transmit audio frequency
    QSlider* Slider1;    // squelch threshold
};

class StatusControl : public QObject {
    Q_OBJECT
public:
    StatusControl(MainState& state, Modem& modem, StatusPanel& status, ReceivePanel& receive,
                  TransmitControl& transmit, StatusTargets targets);

    void StatusRdy(int freq, int level);
    void IMDRdy(int imd);
    void clockUpdate();

    // Hooks of other parts of the program, each run at its place in the order.
    std::function<void()> applySquelchSpeed;       // step 7
    std::function<void()> reapplySettings;         // step 11
    std::function<void(bool show)> switchRadioPanel; // step 11, after the re-apply
    // True while the rig is on the lower sideband: the audio then lies below the dial.
    std::function<bool()> lowerSideband;

private:
    MainState& m_state;
    Modem& m_modem;
    StatusPanel& m_status;
    ReceivePanel& m_receive;
    TransmitControl& m_transmit;
    StatusTargets m_t;
};

} // namespace tavrel
