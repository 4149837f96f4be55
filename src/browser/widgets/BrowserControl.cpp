#include "browser/widgets/BrowserControl.h"

#include "core/Controls.h"
#include "modem/Modem.h"

#include <QEvent>
#include <QSettings>

namespace tavrel {

namespace {
const QString kStateKey = QStringLiteral("window/state");
}

BrowserControl::BrowserControl(MainState& state, Modem& modem, SignalBrowser& panel, QDockWidget& dock,
                               QToolButton& lamp, QMainWindow& window)
    : QObject(&window), m_state(state), m_modem(modem), m_panel(panel), m_dock(dock), m_lamp(lamp),
      m_window(window) {
    connect(&modem, &Modem::BandRdy, this, &BrowserControl::heard);
    connect(&panel, &SignalBrowser::tuneTo, this, [this](int hz) { m_modem.setRxFreq(hz); });
    connect(&panel, &SignalBrowser::workStation, this, [this](int hz, const QString& call) {
        m_modem.setRxFreq(hz);
        if (!call.isEmpty()) emit callChosen(call);
    });
    // The lamp also brings the browser back once it has been closed.
    connect(&lamp, &QToolButton::clicked, this, [this] {
        m_dock.show();
        m_dock.raise();
    });

    m_save.setSingleShot(true);
    m_save.setInterval(kSaveAfterMs);
    connect(&m_save, &QTimer::timeout, this, &BrowserControl::saveLayout);
    const auto changed = [this] { m_save.start(); };
    connect(&dock, &QDockWidget::topLevelChanged, this, changed);
    connect(&dock, &QDockWidget::dockLocationChanged, this, changed);
    connect(&dock, &QDockWidget::visibilityChanged, this, changed);
    dock.installEventFilter(this);
    restoreLayout();
}

void BrowserControl::heard(const std::vector<HeardSignal>& heard) {
    m_list.setOwnCall(m_state.item(Item::OwnCall));
    m_list.update(heard);
    m_panel.setLines(m_list.lines());
    const bool called = m_list.ownCallHeard();
    setBackColour(&m_lamp, called ? colours::orange : colours::buttonFace());
    m_lamp.setToolTip(called ? tr("Your call is in the signal browser") : tr("Signal browser"));
}

bool BrowserControl::eventFilter(QObject* watched, QEvent* e) {
    if (watched == &m_dock && (e->type() == QEvent::Resize || e->type() == QEvent::Move)) m_save.start();
    return QObject::eventFilter(watched, e);
}

void BrowserControl::restoreLayout() {
    const QSettings file(QString::fromStdString(m_state.file("layout.ini").string()), QSettings::IniFormat);
    const QByteArray saved = file.value(kStateKey).toByteArray();
    if (!saved.isEmpty()) m_window.restoreState(saved);
}

void BrowserControl::saveLayout() {
    // Closing the window hides the dock too: that is not the operator's choice to keep.
    if (!m_window.isVisible()) return;
    QSettings file(QString::fromStdString(m_state.file("layout.ini").string()), QSettings::IniFormat);
    file.setValue(kStateKey, m_window.saveState());
}

} // namespace tavrel
