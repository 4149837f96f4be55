#include "logbook/widgets/LogViewControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "logbook/widgets/LogViewPanel.h"

#include <QHeaderView>

namespace tavrel {

int LogViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}
int LogViewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kLogViewColumns; }

QVariant LogViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return toQString(m_rows[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())]);
}

QVariant LogViewModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kLogViewColumns) return {};
    const auto h = kLogViewHeadings[static_cast<size_t>(section)];
    return QString::fromLatin1(h.data(), static_cast<qsizetype>(h.size()));
}

void LogViewModel::append(const LogViewRow& row) {
    const int r = rowCount();
    beginInsertRows({}, r, r);
    m_rows.push_back(row);
    endInsertRows();
}

bool LogViewSort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* m = static_cast<const LogViewModel*>(sourceModel());
    return viewRowLess(m->row(left.row()), m->row(right.row()), left.column());
}

LogViewControl::LogViewControl(LogViewPanel& panel, const LogTable& log)
    : QObject(&panel), m_panel(panel), m_log(log), m_model(this), m_sort(this) {
    m_sort.setSourceModel(&m_model);
    m_sort.setDynamicSortFilter(true); // once sorted, new contacts take their place in the order
    panel.logview->setModel(&m_sort);
    // Starting widths are hundredths of a millimetre.
    const double pxPerHmm = panel.logicalDpiX() / 2540.0;
    for (int c = 0; c < kLogViewColumns; ++c)
        panel.logview->setColumnWidth(c, static_cast<int>(kLogViewWidths[static_cast<size_t>(c)] * pxPerHmm + 0.5));
    QHeaderView* header = panel.logview->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &LogViewControl::logview_ColumnClick);
    onClick(panel.Command3, [this] { Command3_Click(); });
}

void LogViewControl::log_Click() {
    m_panel.setVisible(true);
    m_panel.raise();
    if (!m_filled) listlog();
}

void LogViewControl::listlog() {
    for (int r = 1; r < m_log.logCount(); ++r) m_model.append(logViewRow(m_log.rows[static_cast<size_t>(r)]));
    m_filled = true;
}

// Contacts stored before the list was first filled come in with it; adding them here as well
// would show them twice.
void LogViewControl::addContact(const LogRecord& row) {
    if (m_filled) m_model.append(logViewRow(row));
}

void LogViewControl::logview_ColumnClick(int column) {
    m_sort.sort(column, Qt::AscendingOrder);
    m_panel.logview->header()->setSortIndicator(column, Qt::AscendingOrder);
    m_panel.logview->header()->setSortIndicatorShown(true);
}

void LogViewControl::Command3_Click() { m_panel.setVisible(false); }

} // namespace tavrel
