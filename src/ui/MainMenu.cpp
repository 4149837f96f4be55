#include "ui/MainMenu.h"

namespace tavrel {

namespace {
QAction* action(QObject* parent, const char* name, const QString& text, const QKeySequence& key = {}) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::ApplicationShortcut);
    return a;
}
QMenu* menu(QWidget* parent, const char* name, const QString& title) {
    auto* m = new QMenu(title, parent);
    m->setObjectName(QString::fromLatin1(name));
    return m;
}
} // namespace

MainMenu::MainMenu(QMenuBar* bar) {
    main = menu(bar, "main", QObject::tr("Settings"));
    mnusettings = action(main, "mnusettings", QObject::tr("User Settings"), QKeySequence("Ctrl+U"));
    main->addAction(mnusettings);
    sclev = menu(main, "sclev", QObject::tr("Sound Card Levels"));
    txlev = action(sclev, "txlev", QObject::tr("TX Level"), QKeySequence("Ctrl+T"));
    rxlev = action(sclev, "rxlev", QObject::tr("RX Level"), QKeySequence("Ctrl+R"));
    sclev->addAction(txlev);
    sclev->addAction(rxlev);
    main->addMenu(sclev);
    bar->addMenu(main);

    radio = action(bar, "radio", QObject::tr("Radio Settings"));
    bar->addAction(radio);
    for (int i = 0; i < 10; ++i) {
        const std::string name = "sep" + std::to_string(i + 2);
        spacers[i] = action(bar, name.c_str(), QString());
        bar->addAction(spacers[i]);
    }

    sep1 = menu(bar, "sep1", QObject::tr("Utilities") + QString(55, QLatin1Char(' ')));
    np = action(sep1, "np", QObject::tr("Note Pad"), QKeySequence("Ctrl+N"));
    gl = action(sep1, "gl", QObject::tr("Grey Line Map"), QKeySequence("Ctrl+G"));
    gl->setEnabled(false);
    gl->setVisible(false);
    xport = action(sep1, "xport", QObject::tr("Export ZIZoro to ADIF"), QKeySequence("Ctrl+X"));
    sep1->addAction(np);
    sep1->addAction(gl);
    sep1->addAction(xport);
    bar->addMenu(sep1);

    mnuabout = action(bar, "mnuabout", QObject::tr("About"));
    bar->addAction(mnuabout);
}

} // namespace tavrel
