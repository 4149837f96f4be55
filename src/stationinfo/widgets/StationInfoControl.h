#pragma once
// The station-information row for the call being typed: prefix, country, new or worked prefix,
// beam heading and distance, from the prefix table dxcc1.csv.

#include "core/MainState.h"
#include "logbook/LogRecord.h"
#include "stationinfo/DxccTable.h"

#include <QObject>
#include <string_view>

namespace tavrel {

class StationInfoRow;

class StationInfoControl : public QObject {
    Q_OBJECT
public:
    StationInfoControl(MainState& state, StationInfoRow& row);

    // Loads dxcc1.csv from the application folder; a missing file gives empty lookups.
    void getdxcc();
    // Blanks the four captions and hides the new/worked label.
    void clear();
    // The lookup for state.callHead: prefix, country, heading and distance, new or worked.
    // Heading and distance come from `locator` when it is a valid locator, else from the
    // prefix; the row says which.
    void findprefix(const LogTable& log, std::string_view locator = {});

    const DxccTable& table() const { return m_table; }
    int dxccMatch() const { return m_match; }

private:
    MainState& m_state;
    StationInfoRow& m_row;
    DxccTable m_table;
    int m_match = 0;
};

} // namespace tavrel
