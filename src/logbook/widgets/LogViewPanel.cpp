#include "logbook/widgets/LogViewPanel.h"

#include "core/Controls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

LogViewPanel::LogViewPanel(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Frame4");
    setWindowTitle(tr("Tavrel Log"));
    logview = named<QTreeView>(this, "logview");
    logview->setRootIsDecorated(false);
    logview->setAlternatingRowColors(true);
    logview->setUniformRowHeights(true);
    logview->setSelectionBehavior(QAbstractItemView::SelectRows);
    logview->setSelectionMode(QAbstractItemView::SingleSelection);
    logview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    logsearch = named<QLineEdit>(this, "logsearch");
    logsearch->setPlaceholderText(tr("Search call, name or date"));
    logsearch->setClearButtonEnabled(true);
    logcount = namedLabel(this, "logcount", QString());
    editcontact = namedButton(this, "editcontact", tr("Edit Contact..."));
    editcontact->setToolTip(tr("Change the selected contact (or double-click it)"));
    deletecontact = namedButton(this, "deletecontact", tr("Delete Contact"));
    deletecontact->setToolTip(tr("Remove the selected contact from the log (Delete key)"));
    Command3 = namedButton(this, "Command3", tr("Close Log"));
    Command6 = namedButton(this, "Command6", tr("Export to ADIF format"));
    Command6->setToolTip(tr("Exports you log in ADIF format to file zizoro.adi"));

    auto* search = new QHBoxLayout;
    search->addWidget(namedLabel(this, "logsearchtitle", tr("Search")));
    search->addWidget(logsearch, 1);
    search->addSpacing(12);
    search->addWidget(logcount);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command6);
    buttons->addSpacing(12);
    buttons->addWidget(editcontact);
    buttons->addWidget(deletecontact);
    buttons->addStretch(1);
    buttons->addWidget(Command3);
    auto* v = new QVBoxLayout(this);
    v->addLayout(search);
    v->addWidget(logview, 1);
    v->addLayout(buttons);
    resize(960, 520);
}

} // namespace tavrel
