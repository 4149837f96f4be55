#pragma once
// The two receive windows: the line arriving now and the history of finished lines.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace tavrel {

class ReceivePanel : public QWidget {
    Q_OBJECT
public:
    explicit ReceivePanel(QWidget* parent = nullptr);

    QPlainTextEdit* txtRXData; // history, capacity 5000 characters
    QLineEdit* txtrxdata1;     // the line being received
    QPushButton* clearrx;
};

} // namespace tavrel
