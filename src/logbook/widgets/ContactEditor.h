#pragma once
// The window for changing one stored contact: every field of the record as the file holds it,
// under the log's own column titles. It judges what was typed before it closes.

#include "logbook/LogRecord.h"

#include <QDialog>
#include <QLineEdit>
#include <array>
#include <optional>

namespace tavrel {

class ContactEditor : public QDialog {
    Q_OBJECT
public:
    // `number` is the contact's number in the log (its row).
    ContactEditor(const LogRecord& contact, int number, QWidget* parent = nullptr);

    // The record as typed, fields 1 to 15; the others as they were.
    LogRecord typed() const;

    // Opens the window; the typed record once the operator has accepted a valid one.
    static std::optional<LogRecord> edit(const LogRecord& contact, int number, QWidget* parent);

    void accept() override;

private:
    LogRecord m_before;
    std::array<QLineEdit*, kLogFields> m_fields{};
};

} // namespace tavrel
