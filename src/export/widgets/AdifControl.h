#pragma once
// adifout: the log held in memory to zizoro.adi, from the log view's Command6 and the menu.

#include "app/MainState.h"
#include "logbook/LogRecord.h"

#include <QObject>
#include <QPushButton>
#include <QString>
#include <functional>

namespace tavrel {

// The status line's word after an export: how many contacts went to which file.
QString adifWrittenText(const std::filesystem::path& file, int contacts);

class AdifControl : public QObject {
    Q_OBJECT
public:
    AdifControl(MainState& state, QPushButton& command6, QWidget* dialogParent);

    // The log in memory. Until one is handed in, the log file is read at each export.
    std::function<const LogTable&()> logTable;
    // Tells the operator why the export could not be written (a warning box unless replaced).
    std::function<void(const QString&)> tellOperator;

    void adifout();
    void Command6_Click() { adifout(); }

private:
    MainState& m_state;
    QWidget* m_dialogParent;
};

} // namespace tavrel
