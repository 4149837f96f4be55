#pragma once
// Form3, the About window: one read-only text box with the credits.

#include <QPlainTextEdit>
#include <QWidget>

namespace tavrel {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QPlainTextEdit* Text1;
};

} // namespace tavrel
