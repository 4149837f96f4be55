#include "logbook/widgets/LogViewControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "logbook/LogEdit.h"
#include "logbook/LogText.h"
#include "logbook/widgets/ContactEditor.h"
#include "logbook/widgets/LogViewPanel.h"

#include <QHeaderView>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>
#include <algorithm>
#include <cstdio>

namespace tavrel {

int LogViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}
int LogViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLogViewColumns;
}

QVariant LogViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return toQString(m_rows[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())]);
}

QVariant LogViewModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kLogViewColumns)
        return {};
    const auto h = kLogViewHeadings[static_cast<size_t>(section)];
    return QString::fromLatin1(h.data(), static_cast<qsizetype>(h.size()));
}

void LogViewModel::append(const LogViewRow& row, int record) {
    const int r = rowCount();
    beginInsertRows({}, r, r);
    m_rows.push_back(row);
    m_records.push_back(record);
    endInsertRows();
}

void LogViewModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_records.clear();
    endResetModel();
}

void LogViewSort::setSearch(std::string search) {
    m_search = std::move(search);
    invalidateRowsFilter();
}

bool LogViewSort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* m = static_cast<const LogViewModel*>(sourceModel());
    return viewRowLess(m->row(left.row()), m->row(right.row()), left.column());
}

bool LogViewSort::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* m = static_cast<const LogViewModel*>(sourceModel());
    return viewRowMatches(m->row(sourceRow), m_search);
}

LogViewControl::LogViewControl(LogViewPanel& panel, const LogTable& log, std::filesystem::path logFile)
    : QObject(&panel), m_panel(panel), m_log(log), m_logFile(std::move(logFile)), m_model(this),
      m_sort(this) {
    m_sort.setSourceModel(&m_model);
    m_sort.setDynamicSortFilter(true); // once sorted, new contacts take their place in the order
    panel.logview->setModel(&m_sort);
    // The chronological key only orders the rows: the date column sorts by it too.
    panel.logview->setColumnHidden(1, true);
    QHeaderView* header = panel.logview->header();
    header->setSectionsClickable(true);
    header->setStretchLastSection(true);
    fitColumns();
    connect(header, &QHeaderView::sectionClicked, this, &LogViewControl::logview_ColumnClick);
    onClick(panel.Command3, [this] { Command3_Click(); });
    onClick(panel.editcontact, [this] { editcontact_Click(); });
    onClick(panel.deletecontact, [this] { deletecontact_Click(); });
    connect(panel.logview, &QAbstractItemView::doubleClicked, this, [this] { editcontact_Click(); });
    connect(panel.logsearch, &QLineEdit::textChanged, this, [this] { logsearch_Change(); });
    auto* del = new QShortcut(QKeySequence::Delete, panel.logview, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, [this] { deletecontact_Click(); });

    editRecord = [&panel](const LogRecord& contact, int record) {
        return ContactEditor::edit(contact, record, &panel);
    };
    confirmDelete = [&panel](const std::string& contact) {
        return QMessageBox::question(
                   &panel, tr("Delete Contact"),
                   tr("Remove this contact from the log?\n\n%1\n\nThe log as it was is kept "
                      "in zizoro.tan.bak.")
                       .arg(QString::fromStdString(contact)),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    onChangeFailed = [&panel](const std::string& message) {
        std::fprintf(stderr, "Tavrel: %s\n", message.c_str());
        QMessageBox::critical(&panel, tr("Tavrel: the log was not changed"), QString::fromStdString(message));
    };
}

void LogViewControl::log_Click() {
    const bool first = !m_filled;
    if (!m_filled) listlog();
    // First shown at the main window's top right: the start of the receive lines, the entry
    // panel and the lookup stay in view. The operator may move it; it keeps its place after.
    if (first && m_panel.parentWidget()) {
        const QRect main = m_panel.parentWidget()->frameGeometry();
        const QSize size(std::min(900, main.width() * 3 / 5), std::min(480, main.height() * 3 / 5));
        m_panel.resize(size);
        m_panel.move(main.right() - size.width(), main.top());
    }
    m_panel.show();
    m_panel.raise();
    m_panel.activateWindow();
    if (first) m_panel.logview->scrollToBottom(); // the latest contacts
}

void LogViewControl::listlog() {
    for (int r = 1; r < m_log.logCount(); ++r)
        m_model.append(logViewRow(m_log.rows[static_cast<size_t>(r)]), r);
    m_filled = true;
    fitColumns();
    showCount();
}

// Contacts stored before the list was first filled come in with it; adding them here as well
// would show them twice.
void LogViewControl::addContact(const LogRecord& row) {
    if (!m_filled) return;
    m_model.append(logViewRow(row), m_log.logLast());
    showCount();
}

void LogViewControl::logview_ColumnClick(int column) {
    m_sort.sort(column, Qt::AscendingOrder);
    m_panel.logview->header()->setSortIndicator(column, Qt::AscendingOrder);
    m_panel.logview->header()->setSortIndicatorShown(true);
}

void LogViewControl::Command3_Click() {
    m_panel.setVisible(false);
}

void LogViewControl::logsearch_Change() {
    m_sort.setSearch(toBytes(m_panel.logsearch->text()));
    showCount();
}

int LogViewControl::selectedRecord() const {
    const QModelIndexList rows = m_panel.logview->selectionModel()->selectedRows();
    if (rows.isEmpty()) return 0;
    return m_model.record(m_sort.mapToSource(rows.first()).row());
}

void LogViewControl::selectRecord(int record) {
    for (int r = 0; r < m_model.rowCount(); ++r) {
        if (m_model.record(r) != record) continue;
        const QModelIndex at = m_sort.mapFromSource(m_model.index(r, 0));
        if (!at.isValid()) return;
        m_panel.logview->setCurrentIndex(at);
        m_panel.logview->scrollTo(at);
        return;
    }
}

void LogViewControl::editcontact_Click() {
    const int record = selectedRecord();
    if (record < 1 || record >= m_log.logCount() || !editRecord) return;
    const LogRecord before = m_log.rows[static_cast<size_t>(record)];
    const auto typed = editRecord(before, record);
    if (!typed || editedContact(before, *typed) == editedContact(before, before)) return;
    if (applyChange(editContact(m_logFile, record, before, *typed))) selectRecord(record);
}

void LogViewControl::deletecontact_Click() {
    const int record = selectedRecord();
    if (record < 1 || record >= m_log.logCount()) return;
    const LogRecord before = m_log.rows[static_cast<size_t>(record)];
    const std::string what = "Contact " + std::to_string(record) + ": " + before[2] + ", " +
                             dateShown(before[1]) + " " + timeShown(before[7]) + " UTC, " + before[4] +
                             " m, " + before[10];
    if (confirmDelete && !confirmDelete(toQString(what).toStdString())) return;
    if (applyChange(deleteContact(m_logFile, record, before)))
        selectRecord(std::min(record, m_log.logLast()));
}

bool LogViewControl::applyChange(const std::optional<LogError>& error) {
    if (error) {
        if (onChangeFailed) onChangeFailed(error->message);
        return false;
    }
    emit logRewritten();
    refill();
    return true;
}

void LogViewControl::refill() {
    m_model.clear();
    listlog();
}

void LogViewControl::fitColumns() {
    QTreeView* view = m_panel.logview;
    // At least the starting widths (hundredths of a millimetre), wider where the texts need it.
    const double pxPerHmm = m_panel.logicalDpiX() / 2540.0;
    for (int c = 0; c < kLogViewColumns; ++c) {
        const int start = static_cast<int>(kLogViewWidths[static_cast<size_t>(c)] * pxPerHmm + 0.5);
        view->resizeColumnToContents(c);
        view->setColumnWidth(c, std::max(start, view->columnWidth(c)));
    }
}

void LogViewControl::showCount() {
    const int all = m_model.rowCount();
    const int shown = m_sort.rowCount();
    const QString contacts = all == 1 ? tr("1 contact") : tr("%1 contacts").arg(all);
    m_panel.logcount->setText(shown == all ? contacts : tr("%1 of %2").arg(shown).arg(contacts));
}

} // namespace tavrel
