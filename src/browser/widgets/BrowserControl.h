#pragma once
// Drives the signal browser: the modem's band reports into its lines, a click to the receive
// frequency, a double click to working the station, and our own call to the lamp in the main
// window. The browser's dock is remembered (where, how big, shown or not) in layout.ini in the
// application folder, saved a moment after the operator has changed it.

#include "browser/SignalList.h"
#include "browser/widgets/SignalBrowser.h"
#include "core/MainState.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QObject>
#include <QTimer>
#include <QToolButton>

namespace tavrel {

class Modem;

class BrowserControl : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveAfterMs = 500;

    BrowserControl(MainState& state, Modem& modem, SignalBrowser& panel, QDockWidget& dock, QToolButton& lamp,
                   QMainWindow& window);

    const SignalList& list() const { return m_list; }

signals:
    // The operator wants to work this station: its call goes into the entry panel.
    void callChosen(const QString& call);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void heard(const std::vector<HeardSignal>& heard);
    void restoreLayout();
    void saveLayout();

    MainState& m_state;
    Modem& m_modem;
    SignalBrowser& m_panel;
    QDockWidget& m_dock;
    QToolButton& m_lamp;
    QMainWindow& m_window;
    SignalList m_list;
    QTimer m_save;
};

} // namespace tavrel
