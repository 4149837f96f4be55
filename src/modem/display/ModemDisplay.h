#pragma once
// The modem's display: what the operator sees of the band and of the signal being copied.
//
// Kinds: 0 spectrum, 1 waterfall, 2 raw input (the audio waveform), 3 sync (phase scope: the
// phase change between successive symbols; two tight clusters 180 degrees apart on a clean BPSK
// signal, four on QPSK), 4 carpet (a waterfall of the 200 Hz around the receive frequency).
// Spectrum, waterfall and carpet carry a frequency scale and the receive (yellow, with the signal's
// width) and transmit (red) markers. A left click tunes the receiver to the frequency under the
// pointer, a right click puts the transmitter there (tuneClicked / txClicked).
//
// Data arrive from the modem at the spectrum frame rate and are drawn cheaply: the waterfall is a
// ring of image rows, one new row a frame, painted in two pieces; nothing blocks.

#include "modem/display/Palette.h"

#include <QImage>
#include <QString>
#include <QVector>
#include <QWidget>
#include <vector>

namespace tavrel {

class ModemDisplay : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScaleHeight = 16; // frequency scale strip at the top
    static constexpr double kFloorSpanDb = 50.0;

    explicit ModemDisplay(QWidget* parent = nullptr);

    void setKind(int kind); // 0..4; others are ignored
    int kind() const { return m_kind; }
    // Frequency span of the spectrum and waterfall (the carpet spans its own frames).
    void setRange(int lowHz, int highHz);
    void setColours(const Palette& colours);
    const Palette& colours() const { return m_colours; }
    void setMarkers(double rxHz, double txHz);
    // A short note in the corner (sound card trouble, palette file problems); empty hides it.
    void setMessage(const QString& text);
    QString message() const { return m_message; }

    // One spectrum frame: db[0..n) over lowHz..highHz (0 dB = full-scale sine).
    void addSpectrum(const float* db, int n, double lowHz, double highHz);
    void showRaw(const QVector<float>& samples);
    // Phase changes as x, y pairs (unit phasors, oldest first) and the signal level 0..100.
    void showPhases(const QVector<float>& xy, int level);

    // The frequency under pixel column x, and the column of a frequency, for the kind shown now.
    double frequencyAt(int x) const;
    int xOf(double hz) const;
    // Spectrum bins a frame should carry: one per pixel column.
    int binsWanted() const { return std::max(16, width()); }
    // Level 0..255 of a dB value against the noise floor tracked so far.
    int levelOf(float db) const;
    // The waterfall image (for tests): one row per frame, newest at the top.
    QImage waterfallImage() const;

signals:
    void tuneClicked(double hz);
    void txClicked(double hz);
    void binsChanged(int bins);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool hasFrequencyAxis() const { return m_kind == 0 || m_kind == 1 || m_kind == 4; }
    double spanLow() const;
    double spanHigh() const;
    void trackFloor(const float* db, int n);
    void resetImage();
    void paintScale(class QPainter& p);
    void paintMarkers(class QPainter& p);
    void paintSpectrum(class QPainter& p);
    void paintWaterfall(class QPainter& p);
    void paintRaw(class QPainter& p);
    void paintScope(class QPainter& p);

    int m_kind = 1;
    int m_low = 0, m_high = 3000;
    double m_frameLow = 0.0, m_frameHigh = 3000.0; // span of the frames arriving now
    Palette m_colours;
    double m_rx = 1200.0, m_tx = 1200.0;
    QString m_message;

    float m_floor = 0.0f;
    bool m_floorSet = false;
    std::vector<float> m_smoothed; // spectrum kind: averaged levels per column
    QImage m_image;                // waterfall and carpet: ring of rows
    int m_top = 0;                 // image row holding the newest frame
    QVector<float> m_raw;
    QVector<float> m_phases;
    int m_scopeLevel = 0;
    std::vector<float> m_scratch;
};

} // namespace tavrel
