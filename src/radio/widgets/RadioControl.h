#pragma once
// The band buttons and the band list, the radio panel switch, the rig itself, and the opening of
// the radio settings window.
//
// A band button retunes the rig to the band's frequency (its preset, or the band's PSK31 calling
// frequency): one set-frequency command on the CAT port while it is open (Icom, Yaesu, Kenwood), or
// through Hamlib for radio model "4". It tells the modem the dial frequency, fills the entry panel's
// band box and saves the band, which makes the next status event re-apply the settings.
//
// With Hamlib the rig's dial is read back about once a second: the modem's dial frequency, the USB
// and LSB indicators and the band follow what the rig is really on, and the status line tells when
// the rig does not answer. PTT goes through the rig when the settings say so.

#include "core/MainState.h"
#include "radio/widgets/RadioSettingsWindow.h"

#include <QObject>
#include <QPointer>
#include <string_view>

class QComboBox;
class QLabel;
class QWidget;

namespace tavrel {

class Modem;
class SerialPort;
class RadioPanel;
class RigControl;
struct BandInfo;

class RadioControl : public QObject {
    Q_OBJECT
public:
    // frame7: the audio presets, shown in place of the band buttons when radio control is off.
    // band: the entry panel's band box. window: the parent of the radio settings window; when it is
    // a main window, its status line tells the rig's trouble.
    RadioControl(MainState& state, Modem& modem, SerialPort& comm2, RadioPanel& panel, QWidget& frame7,
                 QComboBox& band, QWidget* window);
    ~RadioControl() override;

    void ten_Click() { bandClick("10"); }
    void fifteen_Click() { bandClick("15"); }
    void twenty_Click() { bandClick("20"); }
    void forty_Click() { bandClick("40"); }

    // Runs the click of the band's button; a text that is no band does nothing. False then.
    bool bandClick(std::string_view band);
    // Start-up's band restore: the band's click, except with a Hamlib rig whose dial is known (a
    // settings re-apply): the rig keeps its dial and its band is shown, so a re-apply never pulls
    // the rig off the frequency the operator tuned.
    bool restoreBand(std::string_view band);

    // Opens, keeps or closes the Hamlib rig as the settings say (radio model item 63 "4").
    void applyRigSettings();
    RigControl& rig() { return *m_rig; }

    // True while a Hamlib rig reports a lower-sideband mode.
    bool lowerSideband() const { return m_lowerSideband; }

    void showRadioControls();
    void hideRadioControls();

    // The "Radio Settings" menu item: loads the window on first use (or after its close box
    // unloaded it) and shows it without blocking the main window.
    void openSettingsWindow();
    // The loaded window, or nullptr.
    RadioSettingsWindow* settingsWindow() const { return m_settingsWindow; }

signals:
    // The rig's dial is read on the lower sideband (true) or not.
    void sidebandChanged(bool lower);

private:
    bool hamlib() const;
    uint32_t tuneFrequency(const BandInfo& band) const;
    void showBand(std::string_view band, uint64_t dialHz);
    void dialRead(quint64 hz, int mode);
    void setRadioControlsVisible(bool on);

    MainState& m_state;
    Modem& m_modem;
    SerialPort& m_comm2;
    RadioPanel& m_panel;
    QWidget& m_frame7;
    QComboBox& m_band;
    QWidget* m_window;
    RigControl* m_rig;
    QLabel* m_rigStatus = nullptr;
    bool m_lowerSideband = false;
    QPointer<RadioSettingsWindow> m_settingsWindow;
};

} // namespace tavrel
