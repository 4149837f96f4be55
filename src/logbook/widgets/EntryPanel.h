#pragma once
// The QSO entry panel "PSK Log" (zizoro) and the capture box for words taken from the receive text.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace tavrel {

class EntryPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit EntryPanel(QWidget* parent = nullptr);

    QLineEdit* hiscall;
    QLineEdit* hisname;
    QLineEdit* qtht;
    QLineEdit* locator;
    QLineEdit* hisrst;
    QLineEdit* myrst;
    QLineEdit* start;
    QLineEdit* endt;
    QLineEdit* dat;
    QLineEdit* notes;
    QComboBox* band;
    QLineEdit* qno;
    QPushButton* editlog;  // "Log Entry"
    QPushButton* clearlog; // "Clear"
    QPushButton* log;      // "Display Log"
    QPushButton* bu;       // "B/U Log"
};

// Shown over the entry panel when a receive word was double-clicked.
class CaptureBox : public QWidget {
    Q_OBJECT
public:
    explicit CaptureBox(QWidget* parent = nullptr);

    QLineEdit* testclicktitle; // "RX Screen to PSK Log"
    QLineEdit* Textclick;
};

} // namespace tavrel
