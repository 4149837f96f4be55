#include "export/widgets/AdifControl.h"

#include "export/Adif.h"

namespace tavrel {

AdifControl::AdifControl(MainState& state, const LogTable& log, QPushButton& command6)
    : QObject(&command6), m_state(state), m_log(log) {
    connect(&command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
}

void AdifControl::adifout() {
    const std::string bytes = adifFile(m_log, m_state.clock.local(), m_state.utcTime);
    if (auto error = writeAdif(m_state.file("zizoro.adi"), bytes)) m_state.tell(*error);
}

} // namespace tavrel
