#include "export/widgets/AdifControl.h"

#include "app/StatusLine.h"
#include "export/Adif.h"
#include "logbook/LogFile.h"

#include <QMessageBox>

namespace tavrel {

QString adifWrittenText(const std::filesystem::path& file, int contacts) {
    return QObject::tr("ADIF export written: %1 %2 to %3")
        .arg(contacts)
        .arg(contacts == 1 ? QObject::tr("contact") : QObject::tr("contacts"))
        .arg(QString::fromStdString(file.string()));
}

AdifControl::AdifControl(MainState& state, QPushButton& command6, QWidget* dialogParent)
    : QObject(&command6), m_state(state), m_dialogParent(dialogParent) {
    tellOperator = [this](const QString& text) {
        QMessageBox::warning(m_dialogParent, tr("Export to ADIF"), text);
    };
    connect(&command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
}

void AdifControl::adifout() {
    LogLoad loaded;
    const LogTable* log = nullptr;
    if (logTable) {
        log = &logTable();
    } else {
        loaded = getlog(m_state.file("zizoro.tan"));
        if (!loaded.ok()) {
            tellOperator(QString::fromStdString("Nothing was exported: " + loaded.error->message));
            return;
        }
        log = &loaded.table;
    }
    const std::string bytes = adifFile(*log, m_state.clock.local(), m_state.utcTime);
    const auto path = m_state.file("zizoro.adi");
    if (auto error = writeAdif(path, bytes)) {
        tellOperator(QString::fromStdString(*error));
        return;
    }
    showInStatusLine(m_dialogParent, adifWrittenText(path, log->logLast()));
}

} // namespace tavrel
