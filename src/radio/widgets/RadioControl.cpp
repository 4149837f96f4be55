#include "radio/widgets/RadioControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "modem/Modem.h"
#include "radio/BandPlan.h"
#include "radio/RigCommands.h"
#include "radio/RigSetup.h"
#include "radio/SerialPort.h"
#include "radio/widgets/RadioPanel.h"
#include "radio/widgets/RadioSettingsWindow.h"
#include "radio/widgets/RigControl.h"

#include <QComboBox>
#include <QMainWindow>
#include <QStatusBar>

namespace tavrel {

namespace {

QString bandText(std::string_view band) {
    return QString::fromLatin1(band.data(), static_cast<qsizetype>(band.size()));
}

} // namespace

RadioControl::RadioControl(MainState& state, Modem& modem, SerialPort& comm2, RadioPanel& panel,
                           QWidget& frame7, QComboBox& band, QWidget* window)
    : QObject(&panel), m_state(state), m_modem(modem), m_comm2(comm2), m_panel(panel), m_frame7(frame7),
      m_band(band), m_window(window), m_rig(new RigControl(this)) {
    onClick(panel.ten, [this] { ten_Click(); });
    onClick(panel.fifteen, [this] { fifteen_Click(); });
    onClick(panel.twenty, [this] { twenty_Click(); });
    onClick(panel.forty, [this] { forty_Click(); });
    connect(panel.bandlist, &QComboBox::activated, this,
            [this](int i) { bandClick(toBytes(m_panel.bandlist->itemText(i))); });

    connect(m_rig, &RigControl::dialRead, this, &RadioControl::dialRead);
    connect(&modem, &Modem::TxStateChg, this, [this](int txState) {
        if (hamlib()) m_rig->setPtt(txState == 1);
    });
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        m_rigStatus = namedLabel(main->statusBar(), "rigstatus", QString());
        setForeColour(m_rigStatus, colours::red);
        main->statusBar()->addPermanentWidget(m_rigStatus);
        connect(m_rig, &RigControl::statusChanged, m_rigStatus, &QLabel::setText);
    }
}

RadioControl::~RadioControl() = default;

bool RadioControl::hamlib() const {
    return m_state.item(Item::RadioModel) == "4";
}

uint32_t RadioControl::tuneFrequency(const BandInfo& band) const {
    // The preset boxes of the 40, 20, 15 and 10 m bands.
    switch (band.presetMHz) {
    case 7:
        return bandFrequency(band, m_state.item(Item::BandPreset40));
    case 14:
        return bandFrequency(band, m_state.item(Item::BandPreset20));
    case 21:
        return bandFrequency(band, m_state.item(Item::BandPreset15));
    case 28:
        return bandFrequency(band, m_state.item(Item::BandPreset10));
    default:
        return band.frequencyHz;
    }
}

bool RadioControl::bandClick(std::string_view band) {
    const BandInfo* b = findBand(band);
    if (!b) return false;
    const uint32_t hz = tuneFrequency(*b);
    if (hamlib()) {
        m_rig->tune(hz, bandMode(m_state.item(Item::HamlibDataMode)));
    } else if (m_comm2.portOpen()) {
        // Unknown models have no command; nothing goes to a closed port.
        const std::string bytes = setFrequencyCommand(hz, m_state.item(Item::RadioModel));
        if (!bytes.empty()) m_comm2.output(bytes);
    }
    showBand(band, hz);
    if (auto failure = m_state.saveSettings()) m_state.tell(*failure);
    return true;
}

bool RadioControl::restoreBand(std::string_view band) {
    const std::optional<uint64_t> dial = m_rig->dial();
    if (!findBand(band) || !hamlib() || !dial) return bandClick(band);
    // The rig is the truth once it has been heard: its band, not the saved one.
    if (const BandInfo* on = bandOfFrequency(*dial)) band = on->band;
    showBand(band, *dial);
    if (auto failure = m_state.saveSettings()) m_state.tell(*failure);
    return true;
}

void RadioControl::showBand(std::string_view band, uint64_t dialHz) {
    m_band.setCurrentText(bandText(band));
    m_panel.bandlist->setCurrentText(bandText(band));
    m_modem.setDialFreq(dialKHz(static_cast<uint32_t>(dialHz)));
    // Until the next status event shows the absolute receive frequency.
    m_panel.txrxfreq->setText(toQString(dialText(static_cast<uint32_t>(dialHz))));
    m_state.currentBand = std::string(band);
}

void RadioControl::applyRigSettings() {
    if (!hamlib()) {
        if (m_rig->active()) {
            m_panel.txrxusb->setVisible(true);
            m_panel.txrxlsb->setVisible(false);
        }
        m_lowerSideband = false;
        emit sidebandChanged(false);
        m_rig->apply(std::nullopt);
        return;
    }
    const auto& s = m_state;
    const RigSetup setup = hamlibSetup({s.item(Item::HamlibModel), s.item(Item::CatPort),
                                        s.item(Item::CatBaud), s.item(Item::PttPort), s.item(Item::PttLine)});
    m_rig->apply(setup.config, QString::fromStdString(setup.problem));
}

void RadioControl::dialRead(quint64 hz, int mode) {
    // With radio control off the dial stays 0: absolute frequencies are then audio frequencies.
    if (!hamlib() || m_state.item(Item::RadioControl) != "Yes") return;
    m_modem.setDialFreq(dialKHz(static_cast<uint32_t>(hz)));
    const auto m = static_cast<RigMode>(mode);
    m_panel.txrxusb->setVisible(m == RigMode::Usb || m == RigMode::UsbData);
    m_lowerSideband = m == RigMode::Lsb || m == RigMode::LsbData;
    m_panel.txrxlsb->setVisible(m_lowerSideband);
    emit sidebandChanged(m_lowerSideband);
    // The next contact is logged on the band the rig is on; the band is not saved for that, so
    // no re-apply follows a turn of the dial.
    const BandInfo* b = bandOfFrequency(hz);
    if (b && b->band != m_state.currentBand) {
        m_state.currentBand = std::string(b->band);
        m_band.setCurrentText(bandText(b->band));
        m_panel.bandlist->setCurrentText(bandText(b->band));
    }
}

void RadioControl::setRadioControlsVisible(bool on) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_panel.Frame2, m_panel.forty, m_panel.twenty, m_panel.fifteen,
                                         m_panel.ten, m_panel.bandlist, m_panel.Label18})
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
        m_settingsWindow = new RadioSettingsWindow(m_state, m_window, m_rig);
        // The close box unloads the window and drops its edits; "Update Settings" only hides it.
        m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

} // namespace tavrel
