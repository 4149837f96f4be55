#pragma once
// Frame4: every stored contact in a sortable list, with the ADIF export button.

#include <QGroupBox>
#include <QPushButton>
#include <QTreeView>

namespace tavrel {

class LogViewPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LogViewPanel(QWidget* parent = nullptr);

    QTreeView* logview;
    QPushButton* Command3; // "Close Log"
    QPushButton* Command6; // "Export to ADIF format"
};

} // namespace tavrel
