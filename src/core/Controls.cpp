#include "core/Controls.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tavrel {

namespace {

class EventHook : public QObject {
public:
    EventHook(QWidget* w, QEvent::Type type, std::function<bool(QMouseEvent*)> handler)
        : QObject(w), m_type(type), m_handler(std::move(handler)) {
        w->installEventFilter(this);
        // Text boxes take their mouse events in the viewport.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) area->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == m_type) return m_handler(static_cast<QMouseEvent*>(e));
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<bool(QMouseEvent*)> m_handler;
};

int buttonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

void onClick(QWidget* w, std::function<void()> handler) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        QObject::connect(b, &QAbstractButton::clicked, w, [handler] { handler(); });
        return;
    }
    new EventHook(w, QEvent::MouseButtonRelease, [w, handler](QMouseEvent* e) {
        if (e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint())) handler();
        return false;
    });
}

void onMouseDown(QWidget* w, std::function<void(int)> handler) {
    new EventHook(w, QEvent::MouseButtonPress, [handler](QMouseEvent* e) {
        handler(buttonCode(e->button()));
        return false;
    });
}

void onDoubleClick(QWidget* w, std::function<void()> handler) {
    new EventHook(w, QEvent::MouseButtonDblClick, [w, handler](QMouseEvent*) {
        // Let the control select the word first.
        QMetaObject::invokeMethod(
            w, [handler] { handler(); }, Qt::QueuedConnection);
        return false;
    });
}

QColor colours::buttonFace() {
    return QApplication::palette().color(QPalette::Button);
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = named<QLabel>(parent, name);
    l->setText(text);
    return l;
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& text) {
    auto* b = named<QPushButton>(parent, name);
    b->setText(text);
    return b;
}

void setBackColour(QWidget* w, const QColor& c) {
    w->setProperty("backColour", c);
    // Only the role the control itself paints with: a palette set on a frame passes to the
    // controls inside it, and its text boxes must stay white.
    QPalette p = w->palette();
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)) {
        p.setColor(QPalette::Button, c);
    } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w)) {
        p.setColor(QPalette::Base, c);
    } else {
        p.setColor(QPalette::Window, c);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

QColor backColour(const QWidget* w) {
    const QVariant v = w->property("backColour");
    if (v.isValid()) return v.value<QColor>();
    if (qobject_cast<const QAbstractButton*>(w)) return w->palette().color(QPalette::Button);
    return w->palette().color(QPalette::Window);
}

void setForeColour(QWidget* w, const QColor& c) {
    w->setProperty("foreColour", c);
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::ButtonText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

QColor foreColour(const QWidget* w) {
    const QVariant v = w->property("foreColour");
    if (v.isValid()) return v.value<QColor>();
    return w->palette().color(QPalette::WindowText);
}

QString caption(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    if (auto* t = qobject_cast<const QPlainTextEdit*>(w)) return t->toPlainText();
    if (auto* t = qobject_cast<const QTextEdit*>(w)) return t->toPlainText();
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
    return w->windowTitle();
}

} // namespace tavrel
