#include "ui/MainKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tavrel {

const std::vector<ButtonKey>& buttonKeys() {
    static const std::vector<ButtonKey> keys = {
        {Qt::Key_F1, Qt::NoModifier, "cq"},        {Qt::Key_F2, Qt::NoModifier, "answer"},
        {Qt::Key_F3, Qt::NoModifier, "tover"},     {Qt::Key_F4, Qt::NoModifier, "report"},
        {Qt::Key_F5, Qt::NoModifier, "qth"},       {Qt::Key_F6, Qt::NoModifier, "stn"},
        {Qt::Key_F7, Qt::NoModifier, "qsl"},       {Qt::Key_F8, Qt::NoModifier, "weather"},
        {Qt::Key_F9, Qt::NoModifier, "endqb"},     {Qt::Key_F10, Qt::NoModifier, "btu"},
        {Qt::Key_F1, Qt::ShiftModifier, "mtext1"}, {Qt::Key_F2, Qt::ShiftModifier, "mtext2"},
        {Qt::Key_F3, Qt::ShiftModifier, "mtext3"}, {Qt::Key_F4, Qt::ShiftModifier, "mtext4"},
        {Qt::Key_F5, Qt::ShiftModifier, "mtext5"}, {Qt::Key_F6, Qt::ShiftModifier, "mtext6"},
        {Qt::Key_Escape, Qt::NoModifier, "abort"},
    };
    return keys;
}

namespace {

QAbstractButton* buttonNamed(QWidget& window, const char* name) {
    return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

// The key does what the left button does: the QSO buttons act on the mouse-down, the others on
// the click that follows. Hidden buttons (the other macro page) are pressed all the same.
void press(QAbstractButton* b) {
    const QPointF at = QRectF(b->rect()).center();
    QMouseEvent down(QEvent::MouseButtonPress, at, b->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(b, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, b->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(b, &up);
}

Qt::KeyboardModifiers withoutKeypad(Qt::KeyboardModifiers m) {
    return m & ~Qt::KeypadModifier;
}

bool typed(const QKeyEvent* e) {
    if (withoutKeypad(e->modifiers()) & ~Qt::ShiftModifier) return false;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return true;
    const QString t = e->text();
    return !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isPrint(); });
}

} // namespace

MainKeys::MainKeys(QWidget& window, QPlainTextEdit& transmitWindow, std::function<void(int)> zoom)
    : QObject(&window), m_window(window), m_transmit(transmitWindow), m_zoom(std::move(zoom)) {
    for (const ButtonKey& k : buttonKeys()) {
        QAbstractButton* b = buttonNamed(m_window, k.button);
        if (!b) continue;
        const QString key =
            QKeySequence(QKeyCombination(k.modifiers, k.key)).toString(QKeySequence::NativeText);
        b->setToolTip(b->toolTip().isEmpty() ? tr("Key: %1").arg(key)
                                             : tr("%1 (key: %2)").arg(b->toolTip(), key));
    }
    // On the application, so keys reach us before any control of the window handles them.
    qApp->installEventFilter(this);
}

bool MainKeys::takesText(const QWidget* w) {
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return !e->isReadOnly();
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w)) return !e->isReadOnly();
    if (auto* e = qobject_cast<const QTextEdit*>(w)) return !e->isReadOnly();
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->isEditable();
    // A list whose cells the operator may edit keeps its keys; one that only shows stations or
    // contacts does not take typing.
    if (auto* v = qobject_cast<const QAbstractItemView*>(w))
        return v->editTriggers() != QAbstractItemView::NoEditTriggers;
    return qobject_cast<const QAbstractSpinBox*>(w) != nullptr;
}

bool MainKeys::pressButtonKey(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    for (const ButtonKey& k : buttonKeys()) {
        if (k.key != key || k.modifiers != withoutKeypad(modifiers)) continue;
        // A key held down sends its text once.
        if (autoRepeat) return true;
        if (QAbstractButton* b = buttonNamed(m_window, k.button); b && b->isEnabled()) press(b);
        return true;
    }
    return false;
}

bool MainKeys::zoomKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers m = withoutKeypad(modifiers) & ~Qt::ShiftModifier;
    if (m != Qt::ControlModifier || !m_zoom) return false;
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        m_zoom(1);
        return true;
    case Qt::Key_Minus:
        m_zoom(-1);
        return true;
    case Qt::Key_0:
        m_zoom(0);
        return true;
    default:
        return false;
    }
}

bool MainKeys::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    // Only the first delivery, to the control of this window that has the keyboard (or the window
    // when none has it): a key a control passes on to its frame is not typing on the frame.
    auto* w = qobject_cast<QWidget*>(watched);
    QWidget* focus = m_window.focusWidget();
    if (!w || w != (focus ? focus : &m_window)) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (pressButtonKey(key->key(), key->modifiers(), key->isAutoRepeat())) return true;
    if (zoomKey(key->key(), key->modifiers())) return true;
    if (takesText(w) || !typed(key)) return false;
    // The operator is typing: the character goes where typing goes.
    m_transmit.setFocus(Qt::OtherFocusReason);
    m_transmit.moveCursor(QTextCursor::End);
    QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                   static_cast<ushort>(key->count()));
    QCoreApplication::sendEvent(&m_transmit, &copy);
    return true;
}

} // namespace tavrel
