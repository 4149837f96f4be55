#pragma once
// The signal browser panel: one row a station heard (audio Hz, the call it signs with, the last
// characters of its text, its level), sorted by frequency. Rows calling CQ and rows holding our
// own call are coloured. A click asks to tune there, a double click to work the station.

#include "browser/SignalList.h"

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <QWidget>
#include <vector>

namespace tavrel {

class SignalBrowser : public QWidget {
    Q_OBJECT
public:
    enum Column { Hz, Call, Text, Level };
    static inline const QColor kCqBack{200, 255, 200}; // light green
    static inline const QColor kOursBack{255, 128, 0}; // orange: somebody calls us

    explicit SignalBrowser(QWidget* parent = nullptr);

    void setLines(const std::vector<BrowserLine>& lines);

    QTableWidget* browserList;

signals:
    void tuneTo(int hz);
    void workStation(int hz, const QString& call);

private:
    std::vector<BrowserLine> m_lines; // as the rows show them
};

} // namespace tavrel
