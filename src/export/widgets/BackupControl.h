#pragma once
// The backup (bu, Command4) and the reminder frame bup (Command5, the start-up test).

#include "core/MainState.h"
#include "export/Backup.h"
#include "export/widgets/BackupReminder.h"

#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <functional>
#include <memory>

namespace tavrel {

// The text of the box shown when no removable medium is mounted or a copy to it failed: what went
// wrong, where the copies on this computer are, and what Retry and Cancel do.
QString noMediumText(const std::string& problem, const std::filesystem::path& documents);
// The box itself: title "Error!!", stop icon, Retry and Cancel.
std::unique_ptr<QMessageBox> makeNoMediumBox(QWidget* parent, const QString& text);

class BackupControl : public QObject {
    Q_OBJECT
public:
    BackupControl(MainState& state, BackupReminder& bup, QPushButton& bu);

    // Where the copies go; replaceable in tests.
    std::filesystem::path documentsFolder;         // the desktop's documents folder
    std::vector<std::filesystem::path> mediaRoots; // /media/<user>, /run/media/<user>
    std::filesystem::path mountTable = "/proc/self/mountinfo";
    // The Retry/Cancel box with its text: true for Retry.
    std::function<bool(const QString&)> askRetry;
    // Tells the operator what the backup did and where (an information box unless replaced).
    std::function<void(const QString&)> tellDone;

    void bu_Click();
    void Command4_Click() { bu_Click(); }
    void Command5_Click();
    // Program start: shows bup when the log holds a contact and the last backup is more than ten
    // days old or unknown.
    void reminderTest(int contacts);

private:
    MainState& m_state;
    BackupReminder& m_bup;
};

} // namespace tavrel
