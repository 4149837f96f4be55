#pragma once
// Form4, the radio settings window: radio control on or off, the rig model (or any rig through
// Hamlib), the CAT port and its line settings, and a kHz preset per band.
//
// Works on its own copy of the settings list, read from tavrel.ini when the window is made. "Update
// Settings" hands the whole list to the main window's settings store, which writes it and announces
// the change, and hides the window, which keeps its list; so like every settings writer it puts back
// the values it read of items other windows changed since. The close box unloads it (see
// RadioControl) and so drops its edits.

#include "core/MainState.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrel {

class HamlibPicker;
class RigControl;

class RadioSettingsWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the settings file. station: the station's rig, asked instead of opening the same rig twice when
    // "Test" names it. devices: the serial devices listed in the port box after "0".."4" (by
    // default those of this machine).
    explicit RadioSettingsWindow(MainState& state, QWidget* parent = nullptr, RigControl* station = nullptr,
                                 std::optional<std::vector<std::string>> devices = std::nullopt);

    const SettingsList& settings() const { return m_settings; }

    void Command1_Click(); // "Update Settings"
    void rigtest_Click();  // "Test": open the Hamlib rig shown, read its dial

    QGroupBox* Frame1; // "Radio Setings"

    QGroupBox* Frame4; // "Select Radio"
    QRadioButton* ic735;
    QRadioButton* ft900;
    QRadioButton* ts440;
    QRadioButton* hamlib; // any rig through Hamlib: item 63 "4", the model in item 64
    QLabel* rcyesLabel;
    QComboBox* rcyes;

    QGroupBox* Frame2; // "Com port settings"
    QComboBox* comportr;
    QComboBox* baud;
    QComboBox* Databits;
    QComboBox* parity;
    QComboBox* stopbits;

    QGroupBox* Frame3; // "Radio Presets"
    QLineEdit* fortypre;
    QLineEdit* twentypre;
    QLineEdit* fifteenpre;
    QLineEdit* tenpre;
    QPushButton* Command1;

    HamlibPicker* hamlibRig; // Frame5: the Hamlib rig list, the data mode (item 65) and "Test"

private:
    void load();

    MainState& m_state;
    SettingsList m_settings{};
    RigControl* m_station;
    RigControl* m_probe; // this window's own, for "Test"
};

} // namespace tavrel
