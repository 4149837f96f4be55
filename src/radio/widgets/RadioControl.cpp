#include "radio/widgets/RadioControl.h"

#include "app/Controls.h"
#include "app/QtText.h"
#include "modem/Modem.h"
#include "radio/RigCommands.h"
#include "radio/SerialPort.h"
#include "radio/widgets/RadioPanel.h"
#include "radio/widgets/RadioSettingsWindow.h"

#include <QComboBox>

namespace tavrel {

RadioControl::RadioControl(MainState& state, Modem& modem, SerialPort& comm2, RadioPanel& panel,
                           QWidget& frame7, QComboBox& band, QWidget* window)
    : QObject(&panel), m_state(state), m_modem(modem), m_comm2(comm2), m_panel(panel), m_frame7(frame7),
      m_band(band), m_window(window) {
    onClick(panel.ten, [this] { ten_Click(); });
    onClick(panel.fifteen, [this] { fifteen_Click(); });
    onClick(panel.twenty, [this] { twenty_Click(); });
    onClick(panel.forty, [this] { forty_Click(); });
}

RadioControl::~RadioControl() = default;

bool RadioControl::bandClick(std::string_view band) {
    const BandInfo* b = findBand(band);
    if (!b) return false;
    // Kenwood and unknown models have no command; nothing goes to a closed port.
    if (m_comm2.portOpen()) {
        const std::string bytes = bandCommand(band, m_state.item(63));
        if (!bytes.empty()) m_comm2.output(bytes);
    }
    const QString text = QString::fromLatin1(band.data(), static_cast<qsizetype>(band.size()));
    m_band.setCurrentText(text);
    m_modem.setDialFreq(dialKHz(b->frequencyHz));
    // Until the next status event shows the absolute receive frequency.
    m_panel.txrxfreq->setText(toQString(dialText(b->frequencyHz)));
    m_state.currentBand = std::string(band);
    if (auto failure = saveSettings(m_state)) m_state.tell(*failure);
    return true;
}

void RadioControl::setRadioControlsVisible(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_panel.Frame2, m_panel.forty, m_panel.twenty,
                                                      m_panel.fifteen, m_panel.ten, m_panel.Label18})
        w->setVisible(on);
    m_frame7.setVisible(!on);
}

void RadioControl::showRadioControls() {
    setRadioControlsVisible(true);
}

void RadioControl::hideRadioControls() {
    setRadioControlsVisible(false);
    // No rig to read the dial from: absolute frequencies are then audio frequencies.
    m_modem.setDialFreq(0);
}

void RadioControl::openSettingsWindow() {
    if (!m_settingsWindow) {
        m_settingsWindow = new RadioSettingsWindow(m_state.file("tavrel.ini"), m_window);
        // The close box unloads the window and drops its edits; "Update Settings" only hides it.
        m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

} // namespace tavrel
