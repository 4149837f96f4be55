#include "app/MenuControl.h"

#include "core/QtText.h"

#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace tavrel {

ProgramRunner systemProgramRunner() {
    ProgramRunner r;
    r.find = [](const std::string& program) {
        return QStandardPaths::findExecutable(QString::fromStdString(program)).toStdString();
    };
    r.start = [](const std::string& path, const std::vector<std::string>& args) {
        QStringList list;
        for (const std::string& a : args)
            list << QString::fromStdString(a);
        return QProcess::startDetached(QString::fromStdString(path), list);
    };
    return r;
}

MenuControl::MenuControl(MainState& state, MainMenu& menu, QWidget& mainWindow)
    : QObject(&mainWindow), m_state(state), m_menu(menu), m_mainWindow(mainWindow) {
    connect(menu.mnusettings, &QAction::triggered, this, [this] { mnusettings_Click(); });
    connect(menu.txlev, &QAction::triggered, this, [this] { txlev_Click(); });
    connect(menu.rxlev, &QAction::triggered, this, [this] { rxlev_Click(); });
    connect(menu.np, &QAction::triggered, this, [this] { np_Click(); });
    connect(menu.gl, &QAction::triggered, this, [this] { gl_Click(); });
    connect(menu.xport, &QAction::triggered, this, [this] { xport_Click(); });
    connect(menu.mnuabout, &QAction::triggered, this, [this] { mnuabout_Click(); });
}

void MenuControl::showWindow(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

void MenuControl::mnusettings_Click() {
    m_state.keepTxFocus = 0;
    if (!m_userSettings) {
        m_userSettings = new UserSettingsWindow(m_state, &m_mainWindow);
        // The close box unloads it: the next opening reads the file again.
        connect(m_userSettings, &UserSettingsWindow::unloaded, this, [this] { m_userSettings = nullptr; });
    }
    showWindow(m_userSettings);
}

void MenuControl::welcomeIfNoCall() {
    if (m_state.item(Item::OwnCall).find_first_not_of(" \t") != std::string::npos) return;
    mnusettings_Click();
    m_userSettings->welcome->setVisible(true);
    m_userSettings->mycall->setFocus();
}

void MenuControl::launch(const std::vector<ProgramCommand>& commands, const QString& what) {
    const LaunchResult r = launchFirst(commands, runner);
    if (!r.started)
        m_state.tell(
            tr("No %1 could be started. Tried:\n%2").arg(what, QString::fromStdString(r.what)).toStdString());
}

void MenuControl::txlev_Click() {
    launch(mixerCommands(true), tr("sound mixer"));
}
void MenuControl::rxlev_Click() {
    launch(mixerCommands(false), tr("sound mixer"));
}
void MenuControl::np_Click() {
    launch(editorCommands(), tr("text editor"));
}
void MenuControl::gl_Click() {
    launch(greyLineCommands(), tr("grey-line map"));
}

void MenuControl::xport_Click() {
    emit exportRequested();
}

void MenuControl::mnuabout_Click() {
    if (!m_about) m_about = new AboutWindow(&m_mainWindow);
    showWindow(m_about);
}

void MenuControl::findGreyLine() {
    if (findFirst(greyLineCommands(), runner).empty()) return;
    m_menu.gl->setEnabled(true);
    m_menu.gl->setVisible(true);
}

} // namespace tavrel
