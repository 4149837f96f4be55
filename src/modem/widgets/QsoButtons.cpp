#include "modem/widgets/QsoButtons.h"

#include "core/Controls.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

QsoButtons::QsoButtons(QWidget* parent) : QWidget(parent) {
    setObjectName("QsoButtons");
    cq = namedButton(this, "cq", tr("CQ"));
    answer = namedButton(this, "answer", tr(" Answer"));
    tover = namedButton(this, "tover", tr("T/Over"));
    report = namedButton(this, "report", tr("Report"));
    qth = namedButton(this, "qth", tr("QTH"));
    stn = namedButton(this, "stn", tr("Station"));
    qsl = namedButton(this, "qsl", tr("QSL Info"));
    weather = namedButton(this, "weather", tr("Weather"));
    endqb = namedButton(this, "endqb", tr("End QSO"));
    btu = namedButton(this, "btu", tr("BTU"));
    static const char* const names[6] = {"mtext1", "mtext2", "mtext3", "mtext4", "mtext5", "mtext6"};
    for (int i = 0; i < 6; ++i) {
        mtext[i] = namedButton(this, names[i], QString());
        mtext[i]->setToolTip(tr("Left click sends, right click edits"));
    }
    Command9 = namedButton(this, "Command9", QStringLiteral("A"));
    Command9->setToolTip(tr("Macro page"));
    Command9->setFixedWidth(28);

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    for (QPushButton* b : {cq, answer, tover, report, qth, stn, qsl, weather, endqb, btu}) {
        b->setMinimumWidth(60);
        h->addWidget(b, 1);
    }
    h->addSpacing(10);
    for (QPushButton* b : mtext)
        h->addWidget(b, 1);
    h->addWidget(Command9);
}

MacroEditor::MacroEditor(QWidget* parent) : QWidget(parent) {
    setObjectName("MacroEditor");
    Frame5 = named<QGroupBox>(this, "Frame5");
    Frame5->setTitle(tr("Macro text"));
    macrotext = named<QPlainTextEdit>(Frame5, "macrotext");
    // Lines as they go on air: the transmit window's font, room for a few lines of a macro.
    macrotext->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    macrotext->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics fm(macrotext->font());
    macrotext->setMinimumSize(fm.horizontalAdvance(QLatin1Char('M')) * 40, fm.lineSpacing() * 4 + 12);
    Command7 = namedButton(Frame5, "Command7", tr("OK"));
    Command8 = namedButton(Frame5, "Command8", tr("Cancel"));
    // The buttons beside the text: the editor has to fit under the button row on a small screen.
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command7);
    buttons->addWidget(Command8);
    buttons->addStretch(1);
    auto* v5 = new QHBoxLayout(Frame5);
    v5->addWidget(macrotext, 1);
    v5->addLayout(buttons);

    Frame6 = named<QGroupBox>(this, "Frame6");
    Label48 = namedLabel(Frame6, "Label48", tr("Button Caption"));
    Text4 = named<QLineEdit>(Frame6, "Text4");
    auto* h6 = new QHBoxLayout(Frame6);
    h6->addWidget(Label48);
    h6->addWidget(Text4, 1);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(Frame6);
    v->addWidget(Frame5, 1);
}

} // namespace tavrel
