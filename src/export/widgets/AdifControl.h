#pragma once
// adifout: the log held in memory to zizoro.adi, from the log view's Command6 and the menu.

#include "core/MainState.h"
#include "logbook/LogRecord.h"

#include <QObject>
#include <QPushButton>
#include <QString>

namespace tavrel {

// The status line's word after an export: how many contacts went to which file.
QString adifWrittenText(const std::filesystem::path& file, int contacts);

class AdifControl : public QObject {
    Q_OBJECT
public:
    // log: the log in memory, which is what is exported.
    AdifControl(MainState& state, const LogTable& log, QPushButton& command6);

    void adifout();
    void Command6_Click() { adifout(); }

private:
    MainState& m_state;
    const LogTable& m_log;
    QWidget& m_command6; // its window finds the status line
};

} // namespace tavrel
