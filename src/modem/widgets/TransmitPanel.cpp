#include "modem/widgets/TransmitPanel.h"

#include "core/Controls.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

TransmitPanel::TransmitPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("TransmitPanel");
    txtTXData = named<QPlainTextEdit>(this, "txtTXData");
    txtTXData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtTXData->setTabChangesFocus(true);

    Label52 = namedLabel(this, "Label52", tr("Receive"));
    Label53 = namedLabel(this, "Label53", tr("Transmit"));
    for (QLabel* l : {Label52, Label53}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Raised);
        l->setMinimumHeight(28);
        l->setCursor(Qt::PointingHandCursor);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    setBackColour(Label52, colours::green);
    setBackColour(Label53, colours::red);
    Label53->setVisible(false);

    tune = namedButton(this, "tune", tr("Tune"));
    abort = namedButton(this, "abort", tr("Abort"));
    cleartx = namedButton(this, "cleartx", tr("Clear"));
    setBackColour(tune, colours::green);

    txfr = named<QGroupBox>(this, "txfr");
    txfr->setTitle(tr("TX bytes remaining"));
    txtit = namedLabel(txfr, "txtit", tr("TX Bytes Remaining"));
    tx = namedLabel(txfr, "tx", QStringLiteral("0"));
    auto* fl = new QHBoxLayout(txfr);
    fl->addWidget(txtit);
    fl->addWidget(tx);
    txfr->setVisible(false);
    // The count comes and goes with the queue; the window's layout must not jump with it.
    QSizePolicy keep = txfr->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    txfr->setSizePolicy(keep);

    auto* side = new QGridLayout;
    side->addWidget(Label52, 0, 0, 1, 2);
    side->addWidget(Label53, 1, 0, 1, 2);
    side->addWidget(tune, 2, 0);
    side->addWidget(abort, 2, 1);
    side->addWidget(cleartx, 3, 0, 1, 2);
    side->addWidget(txfr, 4, 0, 1, 2);
    side->setRowStretch(5, 1);

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(txtTXData, 1);
    h->addLayout(side);
}

} // namespace tavrel
