#include "logbook/widgets/EntryPanel.h"

#include "core/Controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

EntryPanel::EntryPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName("zizoro");
    setTitle(tr("PSK Log"));
    auto field = [this](const char* name) { return named<QLineEdit>(this, name); };
    hiscall = field("hiscall");
    hisname = field("hisname");
    qtht = field("qtht");
    locator = field("locator");
    hisrst = field("hisrst");
    myrst = field("myrst");
    start = field("start");
    endt = field("endt");
    dat = field("dat");
    notes = field("notes");
    band = named<QComboBox>(this, "band");
    band->setEditable(true);
    band->addItems({"6", "10", "12", "15", "17", "20", "30", "40", "60", "80", "160"});
    band->setCurrentText("20");
    qno = field("qno");
    qno->setReadOnly(true);
    hisrst->setText("579");
    myrst->setText("579");
    QFont callFont = hiscall->font();
    callFont.setBold(true);
    callFont.setPointSizeF(callFont.pointSizeF() * 1.25); // no-mutate: look only
    hiscall->setFont(callFont);

    editlog = namedButton(this, "editlog", tr("Log Entry"));
    clearlog = namedButton(this, "clearlog", tr("Clear"));
    log = namedButton(this, "log", tr("Display Log"));
    bu = namedButton(this, "bu", tr("B/U Log"));

    auto* g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(3);
    auto put = [&](int row, int col, const char* labelName, const QString& text, QWidget* w, int span = 1) {
        auto* l = namedLabel(this, labelName, text);
        l->setBuddy(w);
        g->addWidget(l, row, col);
        g->addWidget(w, row, col + 1, 1, span);
    };
    put(0, 0, "Label1", tr("Call"), hiscall);
    put(0, 2, "Label3", tr("Name"), hisname);
    put(0, 4, "Label4", tr("QTH"), qtht);
    put(1, 0, "Label6", tr("His RST"), hisrst);
    put(1, 2, "Label7", tr("My RST"), myrst);
    put(1, 4, "Label5", tr("Locator"), locator);
    put(2, 0, "Label8", tr("Start"), start);
    put(2, 2, "Label9", tr("End"), endt);
    put(2, 4, "Label10", tr("Date"), dat);
    put(3, 0, "Label11", tr("Notes"), notes, 3);
    put(3, 4, "Label12", tr("Band"), band);
    g->setColumnStretch(1, 3);
    g->setColumnStretch(3, 2);
    g->setColumnStretch(5, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(editlog);
    buttons->addWidget(clearlog);
    buttons->addWidget(log);
    buttons->addWidget(bu);
    buttons->addStretch(1);
    auto* qsoLabel = namedLabel(this, "Label13", tr("QSO"));
    qno->setMaximumWidth(70);
    buttons->addWidget(qsoLabel);
    buttons->addWidget(qno);

    auto* v = new QVBoxLayout(this);
    v->addLayout(g);
    v->addLayout(buttons);
}

CaptureBox::CaptureBox(QWidget* parent) : QWidget(parent) {
    setObjectName("CaptureBox");
    testclicktitle = named<QLineEdit>(this, "testclicktitle");
    testclicktitle->setText(tr("RX Screen to PSK Log"));
    testclicktitle->setReadOnly(true);
    testclicktitle->setAlignment(Qt::AlignCenter);
    Textclick = named<QLineEdit>(this, "Textclick");
    Textclick->setToolTip(tr("Double-click a field of the log entry to file this word there"));
    testclicktitle->setVisible(false);
    Textclick->setVisible(false);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(testclicktitle);
    v->addWidget(Textclick);
}

} // namespace tavrel
