#include "app/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tavrel {

QColor colours::buttonFace() { return QApplication::palette().color(QPalette::Button); }

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
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Button, c);
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
    if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w)) w->setAutoFillBackground(true);
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
