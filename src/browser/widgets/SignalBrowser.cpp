#include "browser/widgets/SignalBrowser.h"

#include "core/QtText.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QVBoxLayout>

namespace tavrel {

SignalBrowser::SignalBrowser(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("signalBrowser"));
    browserList = new QTableWidget(0, 4, this);
    browserList->setObjectName(QStringLiteral("browserList"));
    browserList->setHorizontalHeaderLabels({tr("Hz"), tr("Call"), tr("Text"), tr("Level")});
    browserList->verticalHeader()->setVisible(false);
    browserList->verticalHeader()->setDefaultSectionSize(browserList->fontMetrics().height() + 4);
    browserList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    browserList->setSelectionBehavior(QAbstractItemView::SelectRows);
    browserList->setSelectionMode(QAbstractItemView::SingleSelection);
    browserList->setWordWrap(false);
    // The newest characters are at the end: a narrow column shows those.
    browserList->setTextElideMode(Qt::ElideLeft);
    // Widths set once: fitting the columns to their contents at every report costs more than the
    // decoding.
    QHeaderView* header = browserList->horizontalHeader();
    const QFontMetrics m = browserList->fontMetrics();
    header->resizeSection(Hz, m.horizontalAdvance(QStringLiteral("00000")) + 12);
    header->resizeSection(Call, m.horizontalAdvance(QStringLiteral("EA8/DL1ABC/P")) + 12);
    header->resizeSection(Level, m.horizontalAdvance(tr("Level")) + 16);
    header->setSectionResizeMode(Text, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(browserList);

    connect(browserList, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (row >= 0 && row < static_cast<int>(m_lines.size())) emit tuneTo(m_lines[row].hz);
    });
    connect(browserList, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row < 0 || row >= static_cast<int>(m_lines.size())) return;
        emit workStation(m_lines[row].hz, toQString(m_lines[row].call));
    });
}

void SignalBrowser::setLines(const std::vector<BrowserLine>& lines) {
    // The row picked stays picked while the rows change around it.
    const int current = browserList->currentRow();
    const uint32_t picked =
        current >= 0 && current < static_cast<int>(m_lines.size()) ? m_lines[current].id : 0;
    m_lines = lines;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    browserList->setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
        const BrowserLine& l = lines[row];
        const QString cells[] = {QString::number(l.hz), toQString(l.call), toQString(l.text),
                                 QString::number(l.level)};
        const QColor back = l.ours ? kOursBack : l.cq ? kCqBack : QColor();
        for (int col = 0; col < 4; ++col) {
            QTableWidgetItem* item = browserList->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                browserList->setItem(row, col, item);
            }
            item->setText(cells[col]);
            if (col == Text) item->setFont(fixed);
            if (col == Hz || col == Level) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setBackground(back.isValid() ? QBrush(back) : QBrush());
            item->setForeground(back.isValid() ? QBrush(Qt::black) : QBrush());
        }
        if (l.id == picked && picked != 0) browserList->setCurrentCell(row, browserList->currentColumn());
    }
}

} // namespace tavrel
