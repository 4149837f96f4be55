#include "logbook/widgets/LogViewPanel.h"

#include "core/Controls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

LogViewPanel::LogViewPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName("Frame4");
    setTitle(tr("Log"));
    logview = named<QTreeView>(this, "logview");
    logview->setRootIsDecorated(false);
    logview->setAlternatingRowColors(true);
    logview->setUniformRowHeights(true);
    logview->setSelectionBehavior(QAbstractItemView::SelectRows);
    logview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Command3 = namedButton(this, "Command3", tr("Close Log"));
    Command6 = namedButton(this, "Command6", tr("Export to ADIF format"));
    Command6->setToolTip(tr("Exports you log in ADIF format to file zizoro.adi"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command6);
    buttons->addStretch(1);
    buttons->addWidget(Command3);
    auto* v = new QVBoxLayout(this);
    v->addWidget(logview, 1);
    v->addLayout(buttons);
}

} // namespace tavrel
