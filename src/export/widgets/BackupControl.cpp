#include "export/widgets/BackupControl.h"

#include "core/StatusLine.h"

#include <QStandardPaths>

namespace tavrel {

QString noMediumText(const std::string& problem, const std::filesystem::path& documents) {
    return QString::fromStdString(problem) + "\n" +
           QObject::tr("The copies on this computer are in %1.\n")
               .arg(QString::fromStdString(documents.string())) +
           QObject::tr("Mount a removable medium (a USB stick, say) and press Retry, or press Cancel to end "
                       "the backup without it.");
}

std::unique_ptr<QMessageBox> makeNoMediumBox(QWidget* parent, const QString& text) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QStringLiteral("Error!!"), text,
                                             QMessageBox::Retry | QMessageBox::Cancel, parent);
    box->setDefaultButton(QMessageBox::Retry);
    return box;
}

BackupControl::BackupControl(MainState& state, BackupReminder& bup, QPushButton& bu)
    : QObject(&bup), m_state(state), m_bup(bup) {
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) docs = QStandardPaths::writableLocation(QStandardPaths::HomeLocation) + "/Documents";
    documentsFolder = docs.toStdString();
    mediaRoots = removableMediaRoots(currentUserName());
    askRetry = [this](const QString& text) {
        return makeNoMediumBox(m_bup.window(), text)->exec() == QMessageBox::Retry;
    };
    tellDone = [this](const QString& text) { QMessageBox::information(m_bup.window(), tr("Back up"), text); };
    connect(&bu, &QPushButton::clicked, this, [this] { bu_Click(); });
    connect(bup.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(bup.Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
}

void BackupControl::bu_Click() {
    const BackupPlaces places{m_state.appFolder, documentsFolder, mediaRoots, mountTable};
    BackupAsk ask;
    ask.retry = [this](const std::string& problem) {
        return askRetry(noMediumText(problem, documentsFolder));
    };
    ask.reportLocal = [this](const std::vector<CopyFailure>& failures) {
        QString text =
            tr("The backup to %1 is not complete:").arg(QString::fromStdString(documentsFolder.string()));
        for (const CopyFailure& f : failures)
            text += "\n" + QString::fromStdString(f.file) + ": " + QString::fromStdString(f.reason);
        m_state.tell(text.toStdString());
    };
    // The date changes nothing the program runs with: no re-apply follows.
    const auto recordDate = [this](const std::string& dateKey) {
        m_state.settings[Item::LastBackup] = dateKey;
        return m_state.settings.saveQuietly();
    };
    const BackupResult result = runBackup(recordDate, m_state.qsoDateKey, places, ask);
    m_bup.setVisible(false);
    const QString summary = QString::fromStdString(backupSummary(result, places));
    showInStatusLine(m_bup.window(), QString(summary).replace(QLatin1Char('\n'), QLatin1String("  ")));
    tellDone(summary);
}

void BackupControl::Command5_Click() {
    m_bup.setVisible(false);
}

void BackupControl::reminderTest(int contacts) {
    if (contacts > 0 && reminderDue(m_state.item(Item::LastBackup), m_state.qsoDateKey))
        m_bup.setVisible(true);
}

} // namespace tavrel
