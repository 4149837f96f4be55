#include "radio/widgets/HamlibPicker.h"

#include "core/Controls.h"
#include "radio/HamlibRig.h"

#include <QGridLayout>
#include <QHeaderView>

namespace tavrel {

HamlibPicker::HamlibPicker(QWidget* parent) : QGroupBox(parent) {
    setObjectName("Frame5");
    setTitle(tr("Hamlib rig"));
    rigsearch = named<QLineEdit>(this, "rigsearch");
    rigsearch->setPlaceholderText(tr("Search maker, model or number"));
    rigsearch->setClearButtonEnabled(true);
    riglist = named<QTreeWidget>(this, "riglist");
    riglist->setHeaderLabels({tr("Maker"), tr("Model"), tr("Number")});
    riglist->setRootIsDecorated(false);
    riglist->setUniformRowHeights(true);
    riglist->setSelectionMode(QAbstractItemView::SingleSelection);
    riglist->setMinimumHeight(160);
    QList<QTreeWidgetItem*> rows;
    for (const HamlibModel& m : hamlibModels()) {
        auto* row = new QTreeWidgetItem(
            {QString::fromStdString(m.maker), QString::fromStdString(m.model), QString::number(m.number)});
        row->setData(0, Qt::UserRole, m.number);
        rows.push_back(row);
    }
    riglist->addTopLevelItems(rows);
    riglist->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    hamdata = named<QCheckBox>(this, "hamdata");
    hamdata->setText(tr("Band buttons set the rig's USB data mode (else USB)"));
    rigtest = namedButton(this, "rigtest", tr("Test"));
    rigtest->setToolTip(tr("Open the rig with the model, port and baud rate shown and read its frequency"));
    rigtestresult = namedLabel(this, "rigtestresult", QString());
    rigtestresult->setWordWrap(true);

    auto* g = new QGridLayout(this);
    g->addWidget(rigsearch, 0, 0, 1, 2);
    g->addWidget(riglist, 1, 0, 1, 2);
    g->addWidget(hamdata, 2, 0, 1, 2);
    g->addWidget(rigtest, 3, 0);
    g->addWidget(rigtestresult, 3, 1);
    g->setColumnStretch(1, 1);

    connect(rigsearch, &QLineEdit::textChanged, this, &HamlibPicker::filter);
    connect(riglist, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (const int n = selectedModel()) emit modelChosen(n);
    });
}

void HamlibPicker::selectModel(int number) {
    riglist->clearSelection();
    for (int i = 0; i < riglist->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = riglist->topLevelItem(i);
        if (row->data(0, Qt::UserRole).toInt() == number) {
            row->setSelected(true);
            riglist->setCurrentItem(row);
            riglist->scrollToItem(row);
            return;
        }
    }
}

int HamlibPicker::selectedModel() const {
    const QList<QTreeWidgetItem*> chosen = riglist->selectedItems();
    return chosen.isEmpty() ? 0 : chosen.front()->data(0, Qt::UserRole).toInt();
}

void HamlibPicker::filter(const QString& text) {
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < riglist->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = riglist->topLevelItem(i);
        const QString all = row->text(0) + QLatin1Char(' ') + row->text(1) + QLatin1Char(' ') + row->text(2);
        bool shown = true;
        for (const QString& w : words)
            shown = shown && all.contains(w, Qt::CaseInsensitive);
        row->setHidden(!shown);
    }
}

} // namespace tavrel
