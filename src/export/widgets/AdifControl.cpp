#include "export/widgets/AdifControl.h"

#include "core/StatusLine.h"
#include "export/Adif.h"

namespace tavrel {

QString adifWrittenText(const std::filesystem::path& file, int contacts) {
    return QObject::tr("ADIF export written: %1 %2 to %3")
        .arg(contacts)
        .arg(contacts == 1 ? QObject::tr("contact") : QObject::tr("contacts"))
        .arg(QString::fromStdString(file.string()));
}

AdifControl::AdifControl(MainState& state, const LogTable& log, QPushButton& command6)
    : QObject(&command6), m_state(state), m_log(log), m_command6(command6) {
    connect(&command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
}

void AdifControl::adifout() {
    const std::string bytes = adifFile(m_log, m_state.clock.local(), m_state.utcTime);
    const auto path = m_state.file("zizoro.adi");
    if (auto error = writeAdif(path, bytes)) {
        m_state.tell(*error);
        return;
    }
    showInStatusLine(&m_command6, adifWrittenText(path, m_log.logLast()));
}

} // namespace tavrel
