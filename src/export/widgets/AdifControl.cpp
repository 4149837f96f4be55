#include "export/widgets/AdifControl.h"

#include "export/Adif.h"
#include "logbook/LogFile.h"


namespace tavrel {

AdifControl::AdifControl(MainState& state, QPushButton& command6) : QObject(&command6), m_state(state) {
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
            m_state.tell("Nothing was exported: " + loaded.error->message);
            return;
        }
        log = &loaded.table;
    }
    const std::string bytes = adifFile(*log, m_state.clock.local(), m_state.utcTime);
    if (auto error = writeAdif(m_state.file("zizoro.adi"), bytes))
        m_state.tell(*error);
}

} // namespace tavrel
