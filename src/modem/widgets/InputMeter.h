#pragma once
// The input level meter beside the signal bar: the sound card's peak input in dBFS, as a bar and
// a figure. At -1 dBFS and above the input is clipping (or about to): the meter turns red and says
// so, and keeps saying it for two seconds of reports so a short peak is not missed.

#include <QLabel>
#include <QWidget>

namespace tavrel {

class InputMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr double kBottomDbfs = -60.0; // the bar's empty end
    static constexpr int kClipHoldReports = 20;  // two seconds of status reports

    explicit InputMeter(QWidget* parent = nullptr);

    QWidget* bar;   // inputbar
    QLabel* figure; // inputlevel: "-12 dB" or "clipping"

    void setPeak(double dbfs);
    double peak() const { return m_peak; }
    bool clipping() const { return m_clipHold > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    double m_peak = kBottomDbfs;
    int m_clipHold = 0;
};

} // namespace tavrel
