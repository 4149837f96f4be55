#include "modem/widgets/InputMeter.h"

#include "modem/SoundChoice.h"

#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace tavrel {

InputMeter::InputMeter(QWidget* parent) : QWidget(parent) {
    setObjectName("inputmeter");
    setToolTip(
        tr("Sound card input, peak level in dBFS: keep it well below 0 (clipping at -1 dB and above)"));
    bar = new QWidget(this);
    bar->setObjectName("inputbar");
    bar->setFixedWidth(14);
    bar->setMinimumHeight(60);
    bar->installEventFilter(this);
    figure = new QLabel(this);
    figure->setObjectName("inputlevel");
    figure->setAlignment(Qt::AlignCenter);
    // Wide enough for its longest text, so the status area does not move as the figure changes.
    figure->setMinimumWidth(figure->fontMetrics().horizontalAdvance(QStringLiteral("clipping")) + 4);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    v->addWidget(bar, 1, Qt::AlignHCenter);
    v->addWidget(figure);
    setPeak(kFloorDbfs);
}

void InputMeter::setPeak(double dbfs) {
    m_peak = dbfs;
    if (dbfs >= kClipDbfs)
        m_clipHold = kClipHoldReports;
    else if (m_clipHold > 0)
        --m_clipHold;
    if (clipping()) {
        figure->setText(tr("clipping"));
        figure->setStyleSheet(QStringLiteral("color: white; background: red; font-weight: bold"));
    } else {
        figure->setText(dbfs <= kFloorDbfs ? tr("- dB") : tr("%1 dB").arg(std::lround(dbfs)));
        figure->setStyleSheet(QString());
    }
    bar->update();
}

bool InputMeter::eventFilter(QObject* watched, QEvent* e) {
    if (watched == bar && e->type() == QEvent::Paint) {
        QPainter p(bar);
        const QRect r = bar->rect();
        p.fillRect(r, QColor(64, 64, 64));
        const double share = std::clamp((m_peak - kBottomDbfs) / -kBottomDbfs, 0.0, 1.0);
        const int h = static_cast<int>(share * r.height() + 0.5);
        const QColor c = clipping()      ? QColor(255, 0, 0)
                         : m_peak > -6.0 ? QColor(255, 192, 0)
                                         : QColor(0, 192, 0);
        p.fillRect(QRect(r.left(), r.bottom() - h + 1, r.width(), h), c);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace tavrel
