#pragma once
// Frame4: every stored contact in a sortable list, with the ADIF export button. A window of its
// own, so the receive text and the contact in hand stay in view while the log is open.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QWidget>

namespace tavrel {

class LogViewPanel : public QWidget {
    Q_OBJECT
public:
    explicit LogViewPanel(QWidget* parent = nullptr);

    QTreeView* logview;
    QLineEdit* logsearch;       // filters by call, name or date
    QLabel* logcount;           // how many contacts are listed
    QPushButton* editcontact;   // "Edit Contact..."
    QPushButton* deletecontact; // "Delete Contact"
    QPushButton* Command3;      // "Close Log"
    QPushButton* Command6;      // "Export to ADIF format"
};

} // namespace tavrel
