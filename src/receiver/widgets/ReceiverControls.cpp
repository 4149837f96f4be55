#include "receiver/widgets/ReceiverControls.h"

#include "core/Controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

namespace {
QSlider* slider(QWidget* parent, const char* name, Qt::Orientation o, int min, int max, int value) {
    auto* s = named<QSlider>(parent, name);
    s->setOrientation(o);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}
} // namespace

ReceiverControls::ReceiverControls(QWidget* parent) : QWidget(parent) {
    setObjectName("ReceiverControls");
    display = namedButton(this, "display", tr("Display"));
    displayt = namedLabel(this, "displayt", tr("Waterfall"));
    displayt->setAlignment(Qt::AlignCenter);
    modesel = namedButton(this, "modesel", tr("Mode"));

    Squelch = named<QGroupBox>(this, "Squelch");
    Squelch->setTitle(tr("Squelch Level"));
    Slider1 = slider(Squelch, "Slider1", Qt::Horizontal, 0, 100, 50);
    Frame1 = named<QGroupBox>(Squelch, "Frame1");
    Frame1->setTitle(tr("Squelch Speed"));
    sqlset = named<QComboBox>(Frame1, "sqlset");
    sqlset->setEditable(true);
    sqlset->addItems({tr("Fast"), tr("Slow"), tr("Variable")});
    sqlset->setCurrentText(tr("Slow"));
    squelchspeed = slider(Frame1, "squelchspeed", Qt::Horizontal, 10, 200, 10);
    sqlmode = namedLabel(Frame1, "sqlmode", QStringLiteral("1"));
    sqlmode->setMinimumWidth(28);
    sqlspeed = namedLabel(Frame1, "sqlspeed", QStringLiteral("Fast               Slow"));
    auto* f1 = new QGridLayout(Frame1);
    f1->addWidget(sqlset, 0, 0);
    f1->addWidget(sqlmode, 0, 1);
    f1->addWidget(squelchspeed, 1, 0, 1, 2);
    f1->addWidget(sqlspeed, 2, 0, 1, 2, Qt::AlignHCenter);
    auto* sq = new QVBoxLayout(Squelch);
    sq->addWidget(Slider1);
    sq->addWidget(Frame1);

    Slider2 = slider(this, "Slider2", Qt::Horizontal, 0, 1000, 50);
    Slider2->setPageStep(100);
    Label22 = namedLabel(this, "Label22", tr("AFC Limit"));
    Label23 = namedLabel(this, "Label23", QStringLiteral("50"));
    Slider3 = slider(this, "Slider3", Qt::Horizontal, 0, 50, 0);
    Label24 = namedLabel(this, "Label24", tr("RX Search Range"));
    Slider4 = slider(this, "Slider4", Qt::Vertical, -1000, 1000, 0);
    Slider4->setToolTip(tr("Trim"));
    Slider4->setInvertedAppearance(false);

    scrollstop = namedButton(this, "scrollstop", tr("RX"));
    scrollstop->setToolTip(tr("Show received text on or off"));
    txfocus = namedButton(this, "txfocus", tr("Foc."));
    txfocus->setToolTip(tr("Keep the keyboard in the transmit window"));
    setBackColour(scrollstop, colours::green);
    setBackColour(txfocus, colours::red);
    Command2 = namedButton(this, "Command2", QString());
    Command2->setToolTip(tr("Receive on 1200 Hz"));
    Command2->setFixedSize(22, 22);
    Frame9 = named<QGroupBox>(this, "Frame9");
    Label55 = namedLabel(Frame9, "Label55", tr("RePlay"));
    Label55->setAlignment(Qt::AlignCenter);
    Label55->setCursor(Qt::PointingHandCursor);
    Label55->setToolTip(tr("Decode the last seconds of received audio again"));
    auto* f9 = new QHBoxLayout(Frame9);
    f9->setContentsMargins(2, 2, 2, 2);
    f9->addWidget(Label55);

    auto* g = new QGridLayout;
    g->addWidget(display, 0, 0);
    g->addWidget(displayt, 0, 1);
    g->addWidget(modesel, 1, 0, 1, 2);
    g->addWidget(Label22, 2, 0);
    g->addWidget(Label23, 2, 1);
    g->addWidget(Slider2, 3, 0, 1, 2);
    g->addWidget(Label24, 4, 0, 1, 2);
    g->addWidget(Slider3, 5, 0, 1, 2);
    auto* toggles = new QHBoxLayout;
    toggles->addWidget(scrollstop);
    toggles->addWidget(txfocus);
    toggles->addWidget(Command2);
    toggles->addWidget(Frame9);
    g->addLayout(toggles, 6, 0, 1, 2);
    g->setRowStretch(7, 1);

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(Slider4);
    h->addLayout(g);
    h->addWidget(Squelch);
}

} // namespace tavrel
