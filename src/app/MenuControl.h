#pragma once
// The menu items' handlers: the user settings and About windows (modeless, the same window shown
// again while it is loaded), the outside programs and the ADIF export.

#include "app/UserSettingsWindow.h"
#include "core/MainState.h"
#include "ui/AboutWindow.h"
#include "ui/MainMenu.h"
#include "ui/MenuPrograms.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace tavrel {

// Searches the PATH and starts programs without waiting for them.
ProgramRunner systemProgramRunner();

class MenuControl : public QObject {
    Q_OBJECT
public:
    MenuControl(MainState& state, MainMenu& menu, QWidget& mainWindow);

    ProgramRunner runner = systemProgramRunner();

    void mnusettings_Click();
    void txlev_Click();
    void rxlev_Click();
    void np_Click();
    void gl_Click();
    void xport_Click();
    void mnuabout_Click();

    // First start: with no own call yet, the user settings window opens and asks for the station.
    void welcomeIfNoCall();

    // Start-up: the grey-line item is shown and enabled only when such a program is installed.
    void findGreyLine();

    UserSettingsWindow* userSettings() const { return m_userSettings; }
    AboutWindow* about() const { return m_about; }

signals:
    // "Export to ADIF".
    void exportRequested();

private:
    void launch(const std::vector<ProgramCommand>& commands, const QString& what);
    static void showWindow(QWidget* w);

    MainState& m_state;
    MainMenu& m_menu;
    QWidget& m_mainWindow;
    QPointer<UserSettingsWindow> m_userSettings;
    QPointer<AboutWindow> m_about;
};

} // namespace tavrel
