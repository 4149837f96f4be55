#pragma once
// Helpers for the named controls: every control carries the name the program's logic and tests
// know it by, and back/text colours that can be set and read back as the program set them.

#include <QColor>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>

namespace tavrel {

// Colour values as the program speaks of them: blue * 65536 + green * 256 + red.
inline QColor colourValue(unsigned value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}
inline unsigned colourValueOf(const QColor& c) {
    return static_cast<unsigned>(c.blue()) * 65536u + static_cast<unsigned>(c.green()) * 256u +
           static_cast<unsigned>(c.red());
}

namespace colours {
inline const QColor green = colourValue(49152);       // RGB 0, 192, 0
inline const QColor brightGreen = colourValue(65280); // RGB 0, 255, 0
inline const QColor red = colourValue(255);
inline const QColor darkGreen = colourValue(32768); // RGB 0, 128, 0
inline const QColor orange = colourValue(33023);    // RGB 255, 128, 0
inline const QColor lightGrey = colourValue(12632256);
inline const QColor black(0, 0, 0);
QColor buttonFace();
} // namespace colours

// Creates a child control with its name (and caption, for labels, buttons and frames).
template <typename W> W* named(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
QLabel* namedLabel(QWidget* parent, const char* name, const QString& caption);
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption);

// Back colour: the ground of a label, frame or text box, the face of a button.
void setBackColour(QWidget* w, const QColor& c);
QColor backColour(const QWidget* w);
void setForeColour(QWidget* w, const QColor& c);
QColor foreColour(const QWidget* w);

// A click on any control (labels serve as buttons too): runs on release inside the control
// with the left button.
void onClick(QWidget* w, std::function<void()> handler);
// A mouse-down with the button code: 1 left, 2 right.
void onMouseDown(QWidget* w, std::function<void(int button)> handler);
// A double-click, after the control has handled it (a text box has selected the word by then).
void onDoubleClick(QWidget* w, std::function<void()> handler);

// The caption of a label, button, frame or check box; the text of a text box or combo box.
QString caption(const QWidget* w);

} // namespace tavrel
