#pragma once
// The rig panel (Frame2) with the frequency display and indicators, and the four band buttons.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace tavrel {

class RadioPanel : public QWidget {
    Q_OBJECT
public:
    explicit RadioPanel(QWidget* parent = nullptr);

    QGroupBox* Frame2;
    QLabel* txrxfreq; // absolute receive frequency
    QLabel* Label47;  // absolute transmit frequency
    QLabel* txrxusb;
    QLabel* txrxlsb;
    QLabel* txrxrec; // "RECV": click to transmit
    QLabel* txrxtx;  // "XMIT": click to go back to receive
    QLabel* Label18; // "Radio Band Set"
    QPushButton* forty;
    QPushButton* twenty;
    QPushButton* fifteen;
    QPushButton* ten;
    QComboBox* bandlist; // every band, the four above and 160, 80, 60, 30, 17, 12, 6 m
};

} // namespace tavrel
