#include "radio/widgets/RadioPanel.h"

#include "core/Controls.h"
#include "radio/BandPlan.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

RadioPanel::RadioPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("RadioPanel");
    Frame2 = named<QGroupBox>(this, "Frame2");
    Frame2->setTitle(tr("Radio"));
    txrxfreq = namedLabel(Frame2, "txrxfreq", QStringLiteral("14.070.15"));
    QFont big = txrxfreq->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    txrxfreq->setFont(big);
    txrxfreq->setAlignment(Qt::AlignCenter);
    txrxfreq->setToolTip(tr("Receive frequency, Hz"));
    Label47 = namedLabel(Frame2, "Label47", QString());
    Label47->setAlignment(Qt::AlignCenter);
    Label47->setToolTip(tr("Transmit frequency, Hz"));
    txrxusb = namedLabel(Frame2, "txrxusb", QStringLiteral("USB"));
    txrxlsb = namedLabel(Frame2, "txrxlsb", QStringLiteral("LSB"));
    txrxlsb->setVisible(false);
    txrxrec = namedLabel(Frame2, "txrxrec", QStringLiteral("RECV"));
    txrxtx = namedLabel(Frame2, "txrxtx", QStringLiteral("XMIT"));
    txrxtx->setVisible(false);
    for (QLabel* l : {txrxusb, txrxlsb, txrxrec, txrxtx}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Panel);
        l->setMinimumWidth(48);
    }
    txrxrec->setCursor(Qt::PointingHandCursor);
    txrxtx->setCursor(Qt::PointingHandCursor);
    setForeColour(txrxrec, colours::darkGreen);
    setForeColour(txrxtx, colours::red);

    auto* g = new QGridLayout(Frame2);
    g->addWidget(txrxfreq, 0, 0, 1, 4);
    g->addWidget(Label47, 1, 0, 1, 4);
    g->addWidget(txrxusb, 2, 0);
    g->addWidget(txrxlsb, 2, 1);
    g->addWidget(txrxrec, 2, 2);
    g->addWidget(txrxtx, 2, 3);

    Label18 = namedLabel(this, "Label18", tr("Radio Band Set"));
    forty = namedButton(this, "forty", QStringLiteral("40"));
    twenty = namedButton(this, "twenty", QStringLiteral("20"));
    fifteen = namedButton(this, "fifteen", QStringLiteral("15"));
    ten = namedButton(this, "ten", QStringLiteral("10"));
    auto* bands = new QHBoxLayout;
    bands->addWidget(Label18);
    for (QPushButton* b : {forty, twenty, fifteen, ten}) {
        b->setFixedWidth(40);
        bands->addWidget(b);
    }
    bandlist = named<QComboBox>(this, "bandlist");
    for (const BandInfo& b : allBands())
        bandlist->addItem(QString::fromLatin1(b.band.data(), static_cast<qsizetype>(b.band.size())));
    bandlist->setToolTip(tr("Every band, metres"));
    bandlist->setCurrentIndex(-1);
    bands->addWidget(bandlist);
    bands->addStretch(1);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(Frame2);
    v->addLayout(bands);
}

} // namespace tavrel
