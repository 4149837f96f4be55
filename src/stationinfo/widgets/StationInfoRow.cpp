#include "stationinfo/widgets/StationInfoRow.h"

#include "core/Controls.h"

#include <QHBoxLayout>

namespace tavrel {

StationInfoRow::StationInfoRow(QWidget* parent) : QWidget(parent) {
    setObjectName("StationInfoRow");
    auto value = [this](const char* name, int minWidth) {
        QLabel* l = namedLabel(this, name, QStringLiteral(" "));
        l->setFrameShape(QFrame::StyledPanel);
        l->setMinimumWidth(minWidth);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    Label33 = value("Label33", 60);
    Label38 = value("Label38", 200);
    Label39 = namedLabel(this, "Label39", QString());
    Label39->setAlignment(Qt::AlignCenter);
    Label39->setMinimumWidth(110);
    Label39->setVisible(false);
    Label40 = value("Label40", 44);
    Label41 = value("Label41", 60);
    beamfrom = namedLabel(this, "beamfrom", QString());
    beamfrom->setMinimumWidth(150);

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(namedLabel(this, "Label43", tr("Prefix")));
    h->addWidget(Label33);
    h->addSpacing(8);
    h->addWidget(namedLabel(this, "Label42", tr("Country")));
    h->addWidget(Label38, 1);
    h->addWidget(Label39);
    h->addSpacing(8);
    h->addWidget(namedLabel(this, "Label46", tr("Heading")));
    h->addWidget(Label40);
    h->addSpacing(8);
    h->addWidget(namedLabel(this, "Label44", tr("Range")));
    h->addWidget(Label41);
    h->addWidget(namedLabel(this, "label45", tr("km")));
    h->addWidget(beamfrom);
}

} // namespace tavrel
