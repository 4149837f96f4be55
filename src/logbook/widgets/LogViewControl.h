#pragma once
// The log view (Frame4): every stored contact once, sortable by any column as text.

#include "logbook/LogRecord.h"
#include "logbook/LogView.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QSortFilterProxyModel>
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

    void append(const LogViewRow& row);
    const LogViewRow& row(int r) const { return m_rows[static_cast<size_t>(r)]; }

private:
    std::vector<LogViewRow> m_rows;
};

// Compares the displayed texts, folding case, ascending; a stable sort keeps equal rows in order.
class LogViewSort : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

class LogViewControl : public QObject {
    Q_OBJECT
public:
    LogViewControl(LogViewPanel& panel, const LogTable& log);

    void log_Click();
    void listlog();
    void addContact(const LogRecord& row);
    void logview_ColumnClick(int column);
    void Command3_Click(); // closes the list
    void hide() { Command3_Click(); }

    bool logListFilled() const { return m_filled; }
    const LogViewModel& model() const { return m_model; }
    const LogViewSort& sorted() const { return m_sort; }

private:
    LogViewPanel& m_panel;
    const LogTable& m_log;
    LogViewModel m_model;
    LogViewSort m_sort;
    bool m_filled = false;
};

} // namespace tavrel
