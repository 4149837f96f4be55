#pragma once
// The main window's keys, wherever the keyboard is in it (also in a text box): F1 to F10 press the
// QSO buttons in their row order, Shift+F1 to Shift+F6 the six macros, Esc is Abort, Ctrl++ and
// Ctrl+- size the receive and transmit text (Ctrl+0 back to the system's size). A character typed
// where no text is taken (a button, the display, a slider, the receive history, the list of heard
// stations) goes into the transmit window, as if typed there, instead of pressing the button it
// landed on.

#include <QObject>
#include <Qt>
#include <functional>
#include <vector>

class QPlainTextEdit;
class QWidget;

namespace tavrel {

struct ButtonKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* button; // the name of the button it presses
};
const std::vector<ButtonKey>& buttonKeys();

class MainKeys : public QObject {
    Q_OBJECT
public:
    // `zoom` gets +1, -1, or 0 for the system's size. Each button's tooltip comes to name its key.
    MainKeys(QWidget& window, QPlainTextEdit& transmitWindow, std::function<void(int step)> zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool pressButtonKey(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);
    bool zoomKey(int key, Qt::KeyboardModifiers modifiers);
    static bool takesText(const QWidget* w);

    QWidget& m_window;
    QPlainTextEdit& m_transmit;
    std::function<void(int)> m_zoom;
};

} // namespace tavrel
