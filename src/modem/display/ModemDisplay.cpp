#include "modem/display/ModemDisplay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavrel {

namespace {
constexpr double kSignalHalfWidthHz = 31.25; // a PSK31 signal's main lobe, either side
const QColor kRxMarker(255, 230, 0);
const QColor kTxMarker(255, 60, 60);
const QColor kScaleGround(24, 24, 24);
const QColor kScaleText(200, 200, 200);

QColor colourOf(uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
                  static_cast<int>(rgb & 255));
}
} // namespace

ModemDisplay::ModemDisplay(QWidget* parent) : QWidget(parent), m_colours(builtInPalette()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 80);
    setCursor(Qt::CrossCursor);
    setToolTip(QStringLiteral("Left click: receive here. Right click: transmit here."));
}

void ModemDisplay::setKind(int kind) {
    if (kind < 0 || kind > 4 || kind == m_kind) return;
    m_kind = kind;
    m_smoothed.clear();
    m_raw.clear();
    m_phases.clear();
    resetImage();
    update();
}

void ModemDisplay::setRange(int lowHz, int highHz) {
    if (highHz < lowHz) std::swap(lowHz, highHz); // no-mutate: swapping equal ends changes nothing
    if (highHz == lowHz) highHz = lowHz + 1;
    if (lowHz == m_low && highHz == m_high) return;
    m_low = lowHz;
    m_high = highHz;
    resetImage();
    update();
}

void ModemDisplay::setColours(const Palette& colours) {
    m_colours = colours;
    update();
}

void ModemDisplay::setMarkers(double rxHz, double txHz) {
    if (rxHz == m_rx && txHz == m_tx) return;
    m_rx = rxHz;
    m_tx = txHz;
    update();
}

void ModemDisplay::setMessage(const QString& text) {
    m_message = text;
    update();
}

double ModemDisplay::spanLow() const {
    return m_kind == 4 ? m_frameLow : m_low;
}
double ModemDisplay::spanHigh() const {
    return m_kind == 4 ? m_frameHigh : m_high;
}

double ModemDisplay::frequencyAt(int x) const {
    const int w = std::max(1, width());
    return spanLow() + (spanHigh() - spanLow()) * (x + 0.5) / w;
}

int ModemDisplay::xOf(double hz) const {
    const double span = spanHigh() - spanLow();
    if (span <= 0.0) return 0;
    return static_cast<int>(std::floor((hz - spanLow()) / span * width()));
}

int ModemDisplay::levelOf(float db) const {
    const double v = (db - (m_floor - 3.0)) * 255.0 / kFloorSpanDb;
    return static_cast<int>(std::clamp(v, 0.0, 255.0));
}

void ModemDisplay::trackFloor(const float* db, int n) {
    // The noise floor: a low percentile of the frame, smoothed so single frames do not flicker.
    m_scratch.assign(db, db + n);
    const auto q = m_scratch.begin() + n / 5;
    std::nth_element(m_scratch.begin(), q, m_scratch.end());
    const float p20 = std::max(*q, -150.0f);
    if (!m_floorSet) {
        m_floor = p20;
        m_floorSet = true;
    } else {
        m_floor += 0.05f * (p20 - m_floor);
    }
}

void ModemDisplay::resetImage() {
    const int h = std::max(1, height() - kScaleHeight);
    m_image = QImage(std::max(1, width()), h, QImage::Format_RGB32);
    m_image.fill(colourOf(m_colours[0]));
    m_top = 0;
}

QImage ModemDisplay::waterfallImage() const {
    // Unroll the ring: newest row first.
    QImage out(m_image.size(), m_image.format());
    const int h = m_image.height();
    for (int y = 0; y < h; ++y)
        std::memcpy(out.scanLine(y), m_image.constScanLine((m_top + y) % h),
                    static_cast<size_t>(m_image.bytesPerLine()));
    return out;
}

void ModemDisplay::addSpectrum(const float* db, int n, double lowHz, double highHz) {
    if (n <= 0 || !hasFrequencyAxis()) return;
    trackFloor(db, n);
    const bool spanMoved = lowHz != m_frameLow || highHz != m_frameHigh;
    m_frameLow = lowHz;
    m_frameHigh = highHz;
    if (spanMoved && m_kind == 4) resetImage();
    const int w = width();
    // Each pixel column takes the bin at its frequency.
    const auto binAt = [&](int x) {
        const double hz = frequencyAt(x);
        const int b = static_cast<int>((hz - lowHz) / (highHz - lowHz) * n);
        return b >= 0 && b < n ? db[b] : -200.0f;
    };
    if (m_kind == 0) {
        m_smoothed.resize(static_cast<std::size_t>(w), 0.0f);
        for (int x = 0; x < w; ++x) {
            const float level = static_cast<float>(levelOf(binAt(x)));
            m_smoothed[static_cast<std::size_t>(x)] +=
                0.5f * (level - m_smoothed[static_cast<std::size_t>(x)]);
        }
    } else {
        if (m_image.width() != w || m_image.height() != std::max(1, height() - kScaleHeight)) resetImage();
        m_top = (m_top + m_image.height() - 1) % m_image.height();
        auto* row = reinterpret_cast<QRgb*>(m_image.scanLine(m_top));
        for (int x = 0; x < w; ++x)
            row[x] = 0xff000000u | m_colours[static_cast<std::size_t>(levelOf(binAt(x)))];
    }
    update();
}

void ModemDisplay::showRaw(const QVector<float>& samples) {
    if (m_kind != 2) return;
    m_raw = samples;
    update();
}

void ModemDisplay::showPhases(const QVector<float>& xy, int level) {
    if (m_kind != 3) return;
    m_phases = xy;
    m_scopeLevel = level;
    update();
}

void ModemDisplay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_smoothed.clear();
    resetImage();
    emit binsChanged(binsWanted());
}

void ModemDisplay::mousePressEvent(QMouseEvent* event) {
    if (!hasFrequencyAxis()) return;
    const double hz = std::round(frequencyAt(static_cast<int>(event->position().x())));
    if (event->button() == Qt::LeftButton) emit tuneClicked(hz);
    if (event->button() == Qt::RightButton) emit txClicked(hz);
}

void ModemDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    switch (m_kind) {
    case 0:
        paintSpectrum(p);
        break;
    case 1:
    case 4:
        paintWaterfall(p);
        break;
    case 2:
        paintRaw(p);
        break;
    case 3:
        paintScope(p);
        break;
    }
    if (hasFrequencyAxis()) {
        paintScale(p);
        paintMarkers(p);
    } else {
        p.setPen(kScaleText);
        p.drawText(6, 14,
                   QStringLiteral("RX %1 Hz   TX %2 Hz").arg(std::lround(m_rx)).arg(std::lround(m_tx)));
    }
    if (!m_message.isEmpty()) {
        const QRect box = p.fontMetrics().boundingRect(m_message).adjusted(-4, -2, 4, 2);
        const QRect at(4, height() - box.height() - 4, box.width(), box.height());
        p.fillRect(at, QColor(0, 0, 0, 170));
        p.setPen(QColor(255, 200, 80));
        p.drawText(at, Qt::AlignCenter, m_message);
    }
}

void ModemDisplay::paintScale(QPainter& p) {
    p.fillRect(0, 0, width(), kScaleHeight, kScaleGround);
    const double low = spanLow(), high = spanHigh();
    const double span = high - low;
    // Ticks every 10, 50, 100 or 500 Hz so that labels do not crowd.
    double step = 500.0;
    for (double s : {10.0, 50.0, 100.0, 500.0})
        if (span / s <= width() / 8.0) {
            step = s;
            break;
        }
    const double labelEvery = step * 5;
    p.setPen(kScaleText);
    QFont f = p.font();
    f.setPixelSize(10);
    p.setFont(f);
    for (double hz = std::ceil(low / step) * step; hz <= high; hz += step) {
        const int x = xOf(hz);
        const bool major = std::fmod(hz, labelEvery) == 0.0;
        p.drawLine(x, kScaleHeight - (major ? 6 : 3), x, kScaleHeight - 1);
        if (major) p.drawText(x + 2, 10, QString::number(static_cast<int>(hz)));
    }
}

void ModemDisplay::paintMarkers(QPainter& p) {
    const int top = kScaleHeight;
    const int bottom = height() - 1;
    p.setPen(QPen(kTxMarker, 1, Qt::DashLine));
    const int tx = xOf(m_tx);
    p.drawLine(tx, top, tx, bottom);
    const int rx = xOf(m_rx);
    const int left = xOf(m_rx - kSignalHalfWidthHz), right = xOf(m_rx + kSignalHalfWidthHz);
    p.setPen(QPen(kRxMarker, 1));
    p.drawLine(rx, top, rx, top + 10);
    p.drawLine(left, top, left, top + 6);
    p.drawLine(right, top, right, top + 6);
    p.drawLine(left, top, right, top);
    QPainterPath tri;
    tri.moveTo(rx - 5, 0);
    tri.lineTo(rx + 5, 0);
    tri.lineTo(rx, 7);
    tri.closeSubpath();
    p.fillPath(tri, kRxMarker);
}

void ModemDisplay::paintSpectrum(QPainter& p) {
    const int top = kScaleHeight;
    const int h = height() - top;
    for (int x = 0; x < static_cast<int>(m_smoothed.size()) && x < width(); ++x) {
        const float level = m_smoothed[static_cast<std::size_t>(x)];
        const int y = top + h - 1 - static_cast<int>(level * (h - 1) / 255.0f);
        p.setPen(colourOf(m_colours[static_cast<std::size_t>(std::clamp(static_cast<int>(level), 0, 255))]));
        p.drawLine(x, y, x, height() - 1);
    }
}

void ModemDisplay::paintWaterfall(QPainter& p) {
    const int top = kScaleHeight;
    const int h = m_image.height();
    // The ring from the newest row down, then the older part from the image's top.
    p.drawImage(QPoint(0, top), m_image, QRect(0, m_top, m_image.width(), h - m_top));
    if (m_top > 0) p.drawImage(QPoint(0, top + h - m_top), m_image, QRect(0, 0, m_image.width(), m_top));
}

void ModemDisplay::paintRaw(QPainter& p) {
    const int mid = (height() + kScaleHeight) / 2;
    const int half = (height() - kScaleHeight) / 2 - 2;
    p.setPen(QColor(60, 60, 60));
    p.drawLine(0, mid, width(), mid);
    if (m_raw.isEmpty()) return;
    float peak = 0.0f;
    for (float v : m_raw)
        peak = std::max(peak, std::abs(v));
    const float gain = half / std::max(peak, 0.01f);
    QPolygonF line;
    line.reserve(m_raw.size());
    for (int i = 0; i < m_raw.size(); ++i)
        line.append(QPointF(double(i) * (width() - 1) / std::max<qsizetype>(1, m_raw.size() - 1),
                            mid - m_raw[i] * gain));
    p.setPen(colourOf(m_colours[200]));
    p.drawPolyline(line);
    p.setPen(kScaleText);
    const double dbfs = peak > 0.0f ? 20.0 * std::log10(peak) : -120.0;
    p.drawText(width() - 110, 14, QStringLiteral("peak %1 dBFS").arg(dbfs, 0, 'f', 1));
}

void ModemDisplay::paintScope(QPainter& p) {
    const int cx = width() / 2;
    const int cy = (height() + kScaleHeight) / 2;
    const int r = std::max(10, std::min(width(), height() - kScaleHeight) / 2 - 6);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(70, 70, 70));
    p.drawEllipse(QPoint(cx, cy), r, r);
    p.drawLine(cx - r, cy, cx + r, cy);
    p.drawLine(cx, cy - r, cx, cy + r);
    const int n = static_cast<int>(m_phases.size() / 2);
    for (int i = 0; i < n; ++i) {
        // Older phase changes fade; the newest is drawn as a line from the centre.
        const double x = m_phases[2 * i], y = m_phases[2 * i + 1];
        const int level = 60 + 195 * (i + 1) / std::max(1, n);
        const QColor c = colourOf(m_colours[static_cast<std::size_t>(level)]);
        const QPointF at(cx + x * r * 0.9, cy - y * r * 0.9);
        if (i == n - 1) {
            p.setPen(QPen(c, 2));
            p.drawLine(QPointF(cx, cy), at);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at, 3.0, 3.0);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(kScaleText);
    p.drawText(width() - 90, height() - 6, QStringLiteral("level %1").arg(m_scopeLevel));
}

} // namespace tavrel
