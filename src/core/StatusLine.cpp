#include "core/StatusLine.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QWidget>

namespace tavrel {

bool showInStatusLine(QWidget* from, const QString& text) {
    // A settings window or the log window is a window of its own, owned by the main window.
    for (QWidget* w = from ? from->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        if (auto* main = qobject_cast<QMainWindow*>(w)) {
            main->statusBar()->showMessage(text);
            return true;
        }
    }
    return false;
}

} // namespace tavrel
