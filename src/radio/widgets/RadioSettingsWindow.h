#pragma once
// Form4, the radio settings window: radio control on or off, the rig model, the CAT port and its
// line settings, and a kHz preset per band (stored and shown only).
//
// Works on its own copy of the settings list, read from tavrel.ini when the window is made. "Update
// Settings" writes the whole list back, marks the settings changed and hides the window, which keeps
// its list; so like every settings writer it puts back the values it read of items other windows
// changed since. The close box unloads it (see RadioControl) and so drops its edits.

#include "app/Settings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tavrel {

class RadioSettingsWindow : public QWidget {
    Q_OBJECT
public:
    // Reads iniFile. devices: the serial devices listed in the port box after "0".."4".
    RadioSettingsWindow(std::filesystem::path iniFile, QWidget* parent,
                        const std::vector<std::string>& devices);
    RadioSettingsWindow(std::filesystem::path iniFile, QWidget* parent = nullptr);

    const SettingsList& settings() const { return m_settings; }
    // Tells the operator that the settings file could not be written (a warning box unless replaced).
    std::function<void(const QString&)> tellOperator;

    void Command1_Click(); // "Update Settings"

    QGroupBox* Frame1; // "Radio Setings"

    QGroupBox* Frame4; // "Select Radio"
    QRadioButton* ic735;
    QRadioButton* ft900;
    QRadioButton* ts440;
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

private:
    void load();

    std::filesystem::path m_iniFile;
    SettingsList m_settings{};
};

} // namespace tavrel
