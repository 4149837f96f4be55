#include "stationinfo/widgets/StationInfoControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "stationinfo/StationLookup.h"
#include "stationinfo/widgets/StationInfoRow.h"

namespace tavrel {

StationInfoControl::StationInfoControl(MainState& state, StationInfoRow& row)
    : QObject(&row), m_state(state), m_row(row) {}

void StationInfoControl::getdxcc() {
    m_table = tavrel::getdxcc(m_state.file("dxcc1.csv"));
}

void StationInfoControl::clear() {
    for (QLabel* l : {m_row.Label33, m_row.Label38, m_row.Label40, m_row.Label41})
        l->setText(QStringLiteral(" "));
    m_row.beamfrom->clear();
    m_row.Label39->setVisible(false);
}

void StationInfoControl::findprefix(const LogTable& log, std::string_view locator) {
    const StationRow r = lookupStation(m_table, m_state.callHead, m_state.item(Item::OwnLatitude),
                                       m_state.item(Item::OwnLongitude), log, locator);
    m_match = r.match;
    m_row.Label33->setText(toQString(r.prefix));
    m_row.Label38->setText(toQString(r.country));
    m_row.Label40->setText(toQString(r.heading));
    m_row.Label41->setText(toQString(r.distance));
    m_row.beamfrom->setText(r.beamFrom.empty() ? QString() : tr("from %1").arg(toQString(r.beamFrom)));
    if (r.mark.visible) {
        m_row.Label39->setText(toQString(r.mark.caption));
        setBackColour(m_row.Label39, colourValue(r.mark.backColour));
        m_row.Label39->setVisible(true);
    }
}

} // namespace tavrel
