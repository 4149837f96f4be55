#include "logbook/widgets/LookupPanel.h"

#include "core/Controls.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

LookupPanel::LookupPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName("Frame3");
    setTitle(tr("Log Enquiry Results"));
    qsotot = namedLabel(this, "qsotot", QString());
    qsotot->setMinimumWidth(40);
    workedband = namedLabel(this, "workedband", QString());
    workedband->setAlignment(Qt::AlignCenter);
    // Above the list, keeping its place while hidden, so marking a call moves nothing.
    QSizePolicy keep = workedband->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    keep.setHorizontalPolicy(QSizePolicy::Ignored);
    workedband->setSizePolicy(keep);
    workedband->setVisible(false);
    scall = named<QLineEdit>(this, "scall");
    sname = named<QLineEdit>(this, "sname");
    sqth = named<QLineEdit>(this, "sqth");
    slocator = named<QLineEdit>(this, "slocator");
    slist = named<QPlainTextEdit>(this, "slist");
    slist->setReadOnly(true);
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    slist->setFont(mono);
    slist->setLineWrapMode(QPlainTextEdit::NoWrap);
    Command1 = namedButton(this, "Command1", tr("Send details to PSK Log"));

    auto* g = new QGridLayout;
    g->setVerticalSpacing(3); // no-mutate: look only
    g->addWidget(namedLabel(this, "Label26", tr("Total prev QSO's")), 0, 0);
    g->addWidget(qsotot, 0, 1);
    g->addWidget(namedLabel(this, "Label28", tr("Call")), 1, 0);
    g->addWidget(scall, 1, 1);
    g->addWidget(namedLabel(this, "Label29", tr("Name")), 2, 0);
    g->addWidget(sname, 2, 1);
    g->addWidget(namedLabel(this, "Label30", tr("QTH")), 3, 0);
    g->addWidget(sqth, 3, 1);
    g->addWidget(namedLabel(this, "Label31", tr("Locator")), 4, 0);
    g->addWidget(slocator, 4, 1);
    g->addWidget(Command1, 5, 0, 1, 2);
    g->setRowStretch(6, 1);

    // Column headings spaced like the lines of the list.
    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    const char* names[5] = {"Label32", "Label34", "Label35", "Label36", "Label37"};
    const char* texts[5] = {"Date", "Time", "Band", "His", "My"};
    const int widths[5] = {15, 10, 6, 7, 5};
    const int ch = QFontMetrics(mono).horizontalAdvance('0');
    for (int i = 0; i < 5; ++i) {
        auto* l = namedLabel(this, names[i], tr(texts[i]));
        l->setFixedWidth(widths[i] * ch);
        headings->addWidget(l);
    }
    headings->addStretch(1);
    auto* list = new QVBoxLayout;
    list->setSpacing(0);
    list->addWidget(workedband);
    list->addSpacing(3);
    list->addLayout(headings);
    list->addWidget(slist, 1);

    auto* h = new QHBoxLayout(this);
    h->addLayout(g, 2);
    h->addLayout(list, 3);
}

} // namespace tavrel
