#pragma once
// The operator's controls over the modem's receiver and display.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

namespace tavrel {

class ReceiverControls : public QWidget {
    Q_OBJECT
public:
    explicit ReceiverControls(QWidget* parent = nullptr);

    QPushButton* display;
    QLabel* displayt;
    QPushButton* modesel;
    QGroupBox* Squelch; // "Squelch Level"
    QSlider* Slider1;   // squelch threshold
    QGroupBox* Frame1;  // "Squelch Speed"
    QComboBox* sqlset;
    QSlider* squelchspeed;
    QLabel* sqlmode;
    QLabel* sqlspeed;
    QSlider* Slider2; // AFC limit
    QLabel* Label22;
    QLabel* Label23;
    QSlider* Slider3; // receive search range
    QLabel* Label24;
    QSlider* Slider4; // trim, vertical
    QPushButton* scrollstop;
    QPushButton* txfocus;
    QPushButton* Command2; // back to 1200 Hz
    QGroupBox* Frame9;
    QLabel* Label55; // "RePlay"
};

} // namespace tavrel
