#pragma once
// The row of labels for the call being typed: prefix, country, new or worked, heading, range.

#include <QLabel>
#include <QWidget>

namespace tavrel {

class StationInfoRow : public QWidget {
    Q_OBJECT
public:
    explicit StationInfoRow(QWidget* parent = nullptr);

    QLabel* Label33;  // prefix found
    QLabel* Label38;  // country
    QLabel* Label39;  // "New   Prefix" / "Worked Prefix"
    QLabel* Label40;  // heading, degrees
    QLabel* Label41;  // distance, km
    QLabel* beamfrom; // what heading and distance are worked out from: the locator or the prefix
};

} // namespace tavrel
