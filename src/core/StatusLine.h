#pragma once
// The main window's status line, reached from any of its panels or secondary windows: the place
// where the program says that an action has been done (a contact stored, a file written).

#include <QString>

class QWidget;

namespace tavrel {

// Shows `text` in the status line of the main window that `from` belongs to (its own window, or
// the window that owns that one); false when there is none, as for a panel tested on its own.
bool showInStatusLine(QWidget* from, const QString& text);

} // namespace tavrel
