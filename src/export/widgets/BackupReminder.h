#pragma once
// The frame bup that reminds the operator to back up the log and settings.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace tavrel {

class BackupReminder : public QGroupBox {
    Q_OBJECT
public:
    explicit BackupReminder(QWidget* parent = nullptr);

    QLabel* Text1;
    QLabel* insdisk;
    QLabel* Text2;
    QPushButton* Command4; // "Back up now"
    QPushButton* Command5; // "Cancel"
};

} // namespace tavrel
