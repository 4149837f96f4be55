#pragma once
// The backup (bu, Command4) and the reminder frame bup (Command5, the start-up test).

#include "app/MainState.h"
#include "export/Backup.h"
#include "export/widgets/BackupReminder.h"

#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <functional>
#include <memory>

namespace tavrel {

// The three lines of the box shown when the removable medium is missing or a copy to it failed.
QString noDiskText();
// The box itself: title "Error!!", stop icon, Retry and Cancel.
std::unique_ptr<QMessageBox> makeNoDiskBox(QWidget* parent);

class BackupControl : public QObject {
    Q_OBJECT
public:
    BackupControl(MainState& state, BackupReminder& bup, QPushButton& bu);

    // Where the copies go; replaceable in tests.
    std::filesystem::path documentsFolder;         // the desktop's documents folder
    std::vector<std::filesystem::path> mediaRoots; // /media/<user>, /run/media/<user>
    // The Retry/Cancel box: true for Retry.
    std::function<bool()> askRetry;
    // Tells the operator which local copies failed (a warning box unless replaced).
    std::function<void(const QString&)> tellOperator;

    void bu_Click();
    void Command4_Click() { bu_Click(); }
    void Command5_Click();
    // Start-up: shows bup when the last backup is more than ten days old or unknown.
    void reminderTest();

private:
    MainState& m_state;
    BackupReminder& m_bup;
};

} // namespace tavrel
