#pragma once
// The log view (Frame4): every stored contact once, sortable by any column as text, searchable
// by call, name or date; a contact can be changed or removed from here.

#include "logbook/LogFile.h"
#include "logbook/LogRecord.h"
#include "logbook/LogView.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QSortFilterProxyModel>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrel {

class LogViewPanel;

class LogViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // `record` is the contact's row in the log table.
    void append(const LogViewRow& row, int record);
    void clear();
    const LogViewRow& row(int r) const { return m_rows[static_cast<size_t>(r)]; }
    int record(int r) const { return m_records[static_cast<size_t>(r)]; }

private:
    std::vector<LogViewRow> m_rows;
    std::vector<int> m_records;
};

// Compares the displayed texts, folding case, ascending; a stable sort keeps equal rows in order.
// Shows only the rows the search finds.
class LogViewSort : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setSearch(std::string search);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::string m_search;
};

class LogViewControl : public QObject {
    Q_OBJECT
public:
    // `logFile`: the file the log is read from, which an edit or a removal rewrites.
    LogViewControl(LogViewPanel& panel, const LogTable& log, std::filesystem::path logFile);

    void log_Click();
    void listlog();
    void addContact(const LogRecord& row);
    void logview_ColumnClick(int column);
    void Command3_Click(); // closes the list
    void hide() { Command3_Click(); }
    // Change or remove the selected contact; the file is rewritten safely (see LogEdit.h).
    void editcontact_Click();
    void deletecontact_Click();
    void logsearch_Change();

    bool logListFilled() const { return m_filled; }
    const LogViewModel& model() const { return m_model; }
    const LogViewSort& sorted() const { return m_sort; }
    // The log row of the selected contact, or 0.
    int selectedRecord() const;
    void selectRecord(int record);

    // Asking the operator; tests put their own here. editRecord gives the typed record or
    // nothing when the operator gives up; confirmDelete is asked with a description of the
    // contact (UTF-8).
    std::function<std::optional<LogRecord>(const LogRecord& contact, int record)> editRecord;
    std::function<bool(const std::string& contact)> confirmDelete;
    std::function<void(const std::string& message)> onChangeFailed;

signals:
    // The file was rewritten; whoever holds the log reads it again before the list is refilled.
    void logRewritten();

private:
    void refill();
    void fitColumns();
    void showCount();
    // After a change of the file: the log read again and the list made anew; false (and the
    // operator told) when the change failed and the file is as it was.
    bool applyChange(const std::optional<LogError>& error);

    LogViewPanel& m_panel;
    const LogTable& m_log;
    const std::filesystem::path m_logFile;
    LogViewModel m_model;
    LogViewSort m_sort;
    bool m_filled = false;
};

} // namespace tavrel
