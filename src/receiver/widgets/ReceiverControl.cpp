#include "receiver/widgets/ReceiverControl.h"

#include "core/Controls.h"
#include "modem/Modem.h"
#include "receiver/widgets/ReceiverControls.h"

#include <algorithm>

namespace tavrel {

namespace {
const char* const kDisplayNames[5] = {"Spectrum", "Waterfall", "Raw Input", "Sync", "Carpet"};
const char* const kModeNames[3] = {"BPSK", "QPSK USB", "QPSK LSB"};

// A flag flips between 0 and 1; any other value stays as it is.
int flip(int v) {
    return v == 0 ? 1 : v == 1 ? 0 : v;
}
} // namespace

ReceiverControl::ReceiverControl(MainState& state, Modem& modem, ReceiverControls& controls)
    : QObject(&controls), m_state(state), m_modem(modem), m_c(controls) {
    onClick(controls.display, [this] { display_Click(); });
    onClick(controls.modesel, [this] { modesel_Click(); });
    onClick(controls.scrollstop, [this] { scrollstop_Click(); });
    onClick(controls.txfocus, [this] { txfocus_Click(); });
    connect(controls.Slider1, &QSlider::valueChanged, this,
            [this](int v) { m_modem.setSquelchThreshold(v); });
    connect(controls.Slider2, &QSlider::valueChanged, this, [this](int v) { setAfcLimit(v); });
    connect(controls.Slider3, &QSlider::valueChanged, this, [this](int v) { m_modem.setSearchRange(v); });
    connect(controls.Slider4, &QSlider::valueChanged, this, [this](int v) { m_modem.setTrimValue(v); });
}

void ReceiverControl::setAfcLimit(int v) {
    m_modem.setAfcLimit(v);
    m_c.Label23->setText(v == 0 ? QStringLiteral("Off") : QString::number(m_modem.AfcLimit()));
}

void ReceiverControl::sendControls() {
    // The display kind itself is sent by start-up; its name follows it.
    m_c.displayt->setText(QString::fromLatin1(kDisplayNames[std::clamp(m_displayKind, 0, 4)]));
    m_modem.setMode(m_modeIndex);
    m_modem.setSquelchThreshold(m_c.Slider1->value());
    setAfcLimit(m_c.Slider2->value());
    m_modem.setSearchRange(m_c.Slider3->value());
    m_modem.setTrimValue(m_c.Slider4->value());
}

void ReceiverControl::display_Click() {
    m_displayKind = (m_displayKind + 1) % 5;
    if (m_displayKind < 0) m_displayKind = 0;
    m_c.displayt->setText(QString::fromLatin1(kDisplayNames[m_displayKind]));
    m_modem.setDisplayType(m_displayKind);
}

void ReceiverControl::modesel_Click() {
    m_modeIndex = (m_modeIndex + 1) % 3;
    if (m_modeIndex < 0) m_modeIndex = 0;
    m_c.modesel->setText(QString::fromLatin1(kModeNames[m_modeIndex]));
    m_modem.setMode(m_modeIndex);
}

void ReceiverControl::applySquelchSpeed() {
    const QString choice = m_c.sqlset->currentText();
    if (choice == QLatin1String("Fast"))
        m_squelchSpeed = 0;
    else if (choice == QLatin1String("Slow"))
        m_squelchSpeed = 1;
    else if (choice == QLatin1String("Variable"))
        m_squelchSpeed = m_c.squelchspeed->value();
    m_modem.setSquelchSpeed(m_squelchSpeed);
    m_c.sqlmode->setText(QString::number(m_squelchSpeed));
}

void ReceiverControl::scrollstop_Click() {
    m_state.rxDisplayOn = flip(m_state.rxDisplayOn);
    setBackColour(m_c.scrollstop, m_state.rxDisplayOn == 1 ? colours::green : colours::red);
}

void ReceiverControl::reset() {
    m_squelchSpeed = 1;
    m_modem.setSquelchSpeed(1);
    m_c.sqlmode->setText("1");
    m_c.sqlset->setCurrentText("Slow");
    m_displayKind = 1;
    m_c.Slider1->setValue(50);
    // Whatever the controls show is what the modem runs with.
    sendControls();
}

void ReceiverControl::resetTxFocus() {
    m_state.keepTxFocus = 0;
    setBackColour(m_c.txfocus, colours::red);
}

void ReceiverControl::resumeReceivedText() {
    m_state.rxDisplayOn = 1;
    setBackColour(m_c.scrollstop, colours::green);
}

void ReceiverControl::txfocus_Click() {
    m_state.keepTxFocus = flip(m_state.keepTxFocus);
    setBackColour(m_c.txfocus, m_state.keepTxFocus == 1 ? colours::green : colours::red);
}

} // namespace tavrel
