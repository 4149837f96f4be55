#pragma once
// adifout: the log held in memory to zizoro.adi, from the log view's Command6 and the menu.

#include "core/MainState.h"
#include "logbook/LogRecord.h"

#include <QObject>
#include <QPushButton>
#include <functional>

namespace tavrel {

class AdifControl : public QObject {
    Q_OBJECT
public:
    AdifControl(MainState& state, QPushButton& command6);

    // The log in memory. Until one is handed in, the log file is read at each export.
    std::function<const LogTable&()> logTable;

    void adifout();
    void Command6_Click() { adifout(); }

private:
    MainState& m_state;
};

} // namespace tavrel
