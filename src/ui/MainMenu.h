#pragma once
// The main window's menu bar: Settings, Radio Settings, ten spacers, Utilities and About.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <array>

namespace tavrel {

struct MainMenu {
    explicit MainMenu(QMenuBar* bar);

    QMenu* main;          // "Settings"
    QAction* mnusettings; // "User Settings"
    QMenu* sclev;         // "Sound Card Levels"
    QAction* txlev;
    QAction* rxlev;
    QAction* radio;                     // "Radio Settings"
    std::array<QAction*, 10> spacers{}; // sep2..sep11
    QMenu* sep1;                        // "Utilities"
    QAction* np;                        // "Note Pad"
    QAction* gl;                        // "Grey Line Map"
    QAction* xport;                     // "Export ZIZoro to ADIF"
    QAction* mnuabout;                  // "About"
};

} // namespace tavrel
