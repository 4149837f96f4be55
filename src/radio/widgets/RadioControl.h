#pragma once
// The band buttons and the radio panel switch, and the opening of the radio settings window.
//
// A band button retunes the rig to the band's calling frequency (one set-frequency command on the
// CAT port, only while it is open), tells the modem the dial frequency, fills the entry panel's band
// box and saves the band, which makes the next status event re-apply the settings.

#include "app/MainState.h"
#include "radio/widgets/RadioSettingsWindow.h"

#include <QObject>
#include <QPointer>
#include <string_view>

class QComboBox;
class QWidget;

namespace tavrel {

class Modem;
class SerialPort;
class RadioPanel;

class RadioControl : public QObject {
    Q_OBJECT
public:
    // frame7: the audio presets, shown in place of the band buttons when radio control is off.
    // band: the entry panel's band box. window: the parent of the radio settings window.
    RadioControl(MainState& state, Modem& modem, SerialPort& comm2, RadioPanel& panel, QWidget& frame7,
                 QComboBox& band, QWidget* window);
    ~RadioControl() override;

    void ten_Click() { bandClick("10"); }
    void fifteen_Click() { bandClick("15"); }
    void twenty_Click() { bandClick("20"); }
    void forty_Click() { bandClick("40"); }

    // Runs the click of the band's button; a text that is no band does nothing. False then.
    bool bandClick(std::string_view band);

    void showRadioControls();
    void hideRadioControls();

    // The "Radio Settings" menu item: loads the window on first use (or after its close box
    // unloaded it) and shows it without blocking the main window.
    void openSettingsWindow();
    // The loaded window, or nullptr.
    RadioSettingsWindow* settingsWindow() const { return m_settingsWindow; }

private:
    void setRadioControlsVisible(bool on);

    MainState& m_state;
    Modem& m_modem;
    SerialPort& m_comm2;
    RadioPanel& m_panel;
    QWidget& m_frame7;
    QComboBox& m_band;
    QWidget* m_window;
    QPointer<RadioSettingsWindow> m_settingsWindow;
};

} // namespace tavrel
