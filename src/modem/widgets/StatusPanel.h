#pragma once
// The status area: frequencies, UTC clock, signal bar, squelch lamp, IMD and Net.

#include "modem/widgets/InputMeter.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QWidget>
#include <array>

namespace tavrel {

// A column of eleven coloured shapes under a grey mask; the mask's height is kept in the units
// the program computes (1335 at rest, 0 uncovers the whole column).
class SignalBar : public QWidget {
    Q_OBJECT
public:
    static constexpr double kFullHeight = 1335.0;
    explicit SignalBar(QWidget* parent = nullptr);

    void setMaskHeight(double units);
    double maskHeight() const { return m_maskHeight; }

    QFrame* sig;
    std::array<QFrame*, 11> shape{}; // Shape1 (top) .. Shape11 (bottom)

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void place();
    double m_maskHeight = kFullHeight;
};

class StatusPanel : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    QLabel* Label15; // "RX Frequency"
    QLabel* Label16;
    QLabel* Label19; // "TX Frequency"
    QLabel* Label20;
    QLabel* Label49; // UTC clock
    QLabel* Label2;  // squelch lamp "S"
    SignalBar* signalBar;
    InputMeter* inputMeter; // the sound card's input level, beside the signal bar
    QLabel* Label25;        // "IMD"
    QLabel* lblimd;
    QLabel* Label27; // "dB"
    QCheckBox* Check1;
    QLabel* Label21; // "Net"
};

} // namespace tavrel
