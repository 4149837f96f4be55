#pragma once
// formusersettings: the operator's and station's details, the PTT port and line, the display
// range and the CQ logging option. The window works on its own copy of the settings list, read
// from tavrel.ini when it is made; "Save Settings" hands the whole copy to the main window's
// settings store, which writes it and announces the change, and hides the window. The close box
// throws the window away with its edits.

#include "core/MainState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>

namespace tavrel {

class UserSettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit UserSettingsWindow(MainState& state, QWidget* parent = nullptr);

    const SettingsList& list() const { return m_list; }

    QGroupBox *Frame1, *Frame2, *Frame3, *comm, *Frame4, *Frame5, *logcqcalls;
    QLineEdit *mycall, *myname;
    QLineEdit *mycomputer, *myrig, *mypower, *myantenna;
    QLineEdit *mytown, *myarea, *mylocator, *mylat, *mylong, *gmt;
    QComboBox* Combo1;
    QRadioButton *Option1, *Option2, *Option3, *Option4; // Option4: PTT through the rig (Hamlib)
    QRadioButton *rangenormal, *rangewide, *rangecustom;
    QLineEdit *rangebottom, *rangetop;
    QCheckBox* cqtick;
    QLabel* cqlog;
    QPushButton* Command1; // "Save Settings"
    QLabel* welcome;       // shown at the first start, over the frames
    // The sound card: input and output device (items 66, 67; the first entry, empty, is the
    // system default) and the transmit drive in percent (item 68).
    QGroupBox* soundcard;
    QComboBox *soundin, *soundout;
    QSpinBox* txdrive;

    void Command1_Click();

signals:
    // The close box was used: the window is on its way out and must not be shown again.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void load();
    QLineEdit* textBox(QGroupBox* frame, const char* name, const QString& label, Item item);
    QComboBox* deviceBox(const char* name, const QString& label, bool input);

    MainState& m_state;
    SettingsList m_list{};
};

} // namespace tavrel
