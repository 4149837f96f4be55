#pragma once
// "Log Enquiry Results": earlier contacts with the call being typed.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tavrel {

class LookupPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LookupPanel(QWidget* parent = nullptr);

    QLabel* qsotot;
    QLabel* workedband; // worked before on this band and mode, or new there
    QLineEdit* scall;
    QLineEdit* sname;
    QLineEdit* sqth;
    QLineEdit* slocator;
    QPlainTextEdit* slist;
    QPushButton* Command1; // "Send details to PSK Log"
};

} // namespace tavrel
