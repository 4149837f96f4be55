#pragma once
// The transmit window and the controls beside it: receive/transmit indicators, tune, abort,
// clear and the count of characters still queued.

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace tavrel {

class TransmitPanel : public QWidget {
    Q_OBJECT
public:
    explicit TransmitPanel(QWidget* parent = nullptr);

    QPlainTextEdit* txtTXData;
    QLabel* Label52; // "Receive": click to transmit
    QLabel* Label53; // "Transmit": click to go back to receive
    QPushButton* tune;
    QPushButton* abort;
    QPushButton* cleartx;
    QGroupBox* txfr;
    QLabel* txtit;
    QLabel* tx;
};

} // namespace tavrel
