#pragma once
// The row of QSO buttons, the operator's six text macros on two pages, and the macro editor.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <array>

namespace tavrel {

class QsoButtons : public QWidget {
    Q_OBJECT
public:
    explicit QsoButtons(QWidget* parent = nullptr);

    QPushButton* cq;
    QPushButton* answer;
    QPushButton* tover;
    QPushButton* report;
    QPushButton* qth;
    QPushButton* stn;
    QPushButton* qsl;
    QPushButton* weather;
    QPushButton* endqb;
    QPushButton* btu;
    std::array<QPushButton*, 6> mtext{}; // mtext1..mtext6
    QPushButton* Command9;               // page "A" / "B"
};

// The editor frames: Frame5 (text and OK/Cancel) and Frame6 (the user button's caption).
class MacroEditor : public QWidget {
    Q_OBJECT
public:
    explicit MacroEditor(QWidget* parent = nullptr);

    QGroupBox* Frame5;
    QPlainTextEdit* macrotext;
    QPushButton* Command7; // "OK"
    QPushButton* Command8; // "Cancel"
    QGroupBox* Frame6;
    QLabel* Label48; // "Button Caption"
    QLineEdit* Text4;
};

} // namespace tavrel
