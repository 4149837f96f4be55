#include "logbook/widgets/ContactEditor.h"

#include "core/QtText.h"
#include "logbook/LogEdit.h"
#include "logbook/LogFile.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tavrel {

namespace {
// Fields in the order an operator reads a contact; 16 to 22 are reserved or worked out.
constexpr int kShown[] = {2, 1, 3, 7, 4, 5, 6, 8, 9, 10, 11, 15, 12, 13, 14};
} // namespace

ContactEditor::ContactEditor(const LogRecord& contact, int number, QWidget* parent)
    : QDialog(parent), m_before(contact) {
    setObjectName("contacteditor");
    setWindowTitle(tr("Edit Contact %1").arg(number));
    const LogRecord titles = logHeaderRecord();
    auto* form = new QFormLayout;
    for (int i : kShown) {
        auto* e = new QLineEdit(toQString(contact[static_cast<size_t>(i)]), this);
        e->setObjectName(QStringLiteral("field%1").arg(i));
        e->setMinimumWidth(260);
        m_fields[static_cast<size_t>(i)] = e;
        form->addRow(toQString(titles[static_cast<size_t>(i)]), e);
    }
    m_fields[1]->setToolTip(tr("yyyymmdd"));
    m_fields[3]->setToolTip(tr("hhmmss UTC, or empty"));
    m_fields[7]->setToolTip(tr("hhmmss UTC"));
    auto* hint = new QLabel(tr("Date as yyyymmdd, times as hhmmss in UTC. The log as it was is kept in "
                               "zizoro.tan.bak."),
                            this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(hint);
    v->addWidget(buttons);
}

LogRecord ContactEditor::typed() const {
    LogRecord out = m_before;
    for (size_t i = 0; i < out.size(); ++i)
        if (m_fields[i]) out[i] = toBytes(m_fields[i]->text());
    return out;
}

void ContactEditor::accept() {
    if (const auto problem = contactProblem(m_before, editedContact(m_before, typed()))) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(*problem));
        return;
    }
    QDialog::accept();
}

std::optional<LogRecord> ContactEditor::edit(const LogRecord& contact, int number, QWidget* parent) {
    ContactEditor editor(contact, number, parent);
    if (editor.exec() != QDialog::Accepted) return std::nullopt;
    return editor.typed();
}

} // namespace tavrel
