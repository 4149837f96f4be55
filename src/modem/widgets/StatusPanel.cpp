#include "modem/widgets/StatusPanel.h"

#include "core/Controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <algorithm>

namespace tavrel {

SignalBar::SignalBar(QWidget* parent) : QWidget(parent) {
    setObjectName("SignalBar");
    setFixedWidth(18);
    setMinimumHeight(90);
    // Top of the column is the strongest: red, then yellow, then greens.
    static const QColor colours[11] = {QColor(255, 0, 0),   QColor(255, 64, 0),  QColor(255, 128, 0),
                                       QColor(255, 192, 0), QColor(255, 255, 0), QColor(192, 255, 0),
                                       QColor(128, 255, 0), QColor(64, 224, 0),  QColor(0, 208, 0),
                                       QColor(0, 176, 0),   QColor(0, 144, 0)};
    for (int i = 0; i < 11; ++i) {
        shape[i] = named<QFrame>(this, ("Shape" + std::to_string(i + 1)).c_str());
        setBackColour(shape[i], colours[i]);
        shape[i]->setAutoFillBackground(true);
    }
    sig = named<QFrame>(this, "sig");
    setBackColour(sig, colours::lightGrey);
    sig->setAutoFillBackground(true);
    sig->setFrameShape(QFrame::NoFrame);
    place();
}

void SignalBar::setMaskHeight(double units) {
    m_maskHeight = units;
    place();
}

void SignalBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    place();
}

void SignalBar::place() {
    const int h = height(), w = width();
    for (int i = 0; i < 11; ++i) {
        const int top = h * i / 11, bottom = h * (i + 1) / 11;
        shape[i]->setGeometry(0, top, w, bottom - top);
    }
    const double share = std::clamp(m_maskHeight / kFullHeight, 0.0, 1.0);
    sig->setGeometry(0, 0, w, static_cast<int>(share * h + 0.5));
    sig->raise();
}

StatusPanel::StatusPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("StatusPanel");
    Label15 = namedLabel(this, "Label15", tr("RX Frequency"));
    Label16 = namedLabel(this, "Label16", QStringLiteral("1200"));
    Label19 = namedLabel(this, "Label19", tr("TX Frequency"));
    Label20 = namedLabel(this, "Label20", QStringLiteral("1200"));
    Label49 = namedLabel(this, "Label49", QString());
    Label49->setToolTip(tr("UTC"));
    QFont clock = Label49->font();
    clock.setPointSizeF(clock.pointSizeF() * 1.6);
    clock.setBold(true);
    Label49->setFont(clock);
    Label49->setAlignment(Qt::AlignCenter);
    Label2 = namedLabel(this, "Label2", QStringLiteral("S"));
    Label2->setToolTip(tr("Squelch open (green) or closed (red)"));
    QFont lamp = Label2->font();
    lamp.setBold(true);
    Label2->setFont(lamp);
    setForeColour(Label2, colours::red);
    signalBar = new SignalBar(this);
    inputMeter = new InputMeter(this);
    Label25 = namedLabel(this, "Label25", tr("IMD"));
    lblimd = namedLabel(this, "lblimd", QString());
    Label27 = namedLabel(this, "Label27", tr("dB"));
    Check1 = named<QCheckBox>(this, "Check1");
    Check1->setChecked(true);
    Label21 = namedLabel(this, "Label21", tr("Net"));
    Label21->setToolTip(tr("Transmit on the receive frequency"));
    for (QLabel* l : {Label16, Label20}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setMinimumWidth(56);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    auto* g = new QGridLayout(this);
    g->setContentsMargins(4, 4, 4, 4);
    g->addWidget(Label49, 0, 0, 1, 4);
    g->addWidget(Label15, 1, 0);
    g->addWidget(Label16, 1, 1);
    g->addWidget(Label19, 2, 0);
    g->addWidget(Label20, 2, 1);
    auto* imd = new QHBoxLayout;
    imd->addWidget(Label25);
    imd->addWidget(lblimd);
    imd->addWidget(Label27);
    imd->addStretch(1);
    g->addLayout(imd, 3, 0, 1, 2);
    auto* net = new QHBoxLayout;
    net->addWidget(Check1);
    net->addWidget(Label21);
    net->addStretch(1);
    g->addLayout(net, 4, 0, 1, 2);
    g->addWidget(Label2, 1, 2, Qt::AlignHCenter);
    g->addWidget(signalBar, 2, 2, 3, 1, Qt::AlignHCenter);
    g->addWidget(inputMeter, 1, 3, 4, 1);
    g->setRowStretch(5, 1);
}

} // namespace tavrel
