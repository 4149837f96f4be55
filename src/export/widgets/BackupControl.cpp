#include "export/widgets/BackupControl.h"

#include <QStandardPaths>

namespace tavrel {

QString noDiskText() {
    return QStringLiteral("There is no disk in the A: drive, \n"
                          "Please insert a disk and press \n"
                          " Retry to try again, or Cancel to quit back up");
}

std::unique_ptr<QMessageBox> makeNoDiskBox(QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QStringLiteral("Error!!"), noDiskText(),
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
    askRetry = [this] { return makeNoDiskBox(m_bup.window())->exec() == QMessageBox::Retry; };
    tellOperator = [this](const QString& text) { QMessageBox::warning(m_bup.window(), tr("Back up"), text); };
    connect(&bu, &QPushButton::clicked, this, [this] { bu_Click(); });
    connect(bup.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(bup.Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
}

void BackupControl::bu_Click() {
    BackupAsk ask;
    ask.retry = [this] { return askRetry(); };
    ask.reportLocal = [this](const std::vector<CopyFailure>& failures) {
        QString text =
            tr("The backup to %1 is not complete:").arg(QString::fromStdString(documentsFolder.string()));
        for (const CopyFailure& f : failures)
            text += "\n" + QString::fromStdString(f.file) + ": " + QString::fromStdString(f.reason);
        tellOperator(text);
    };
    runBackup(m_state.settings, m_state.qsoDateKey,
              BackupPlaces{m_state.appFolder, documentsFolder, mediaRoots}, ask);
    m_bup.setVisible(false);
}

void BackupControl::Command5_Click() {
    m_bup.setVisible(false);
}

void BackupControl::reminderTest() {
    if (reminderDue(m_state.item(13), m_state.qsoDateKey)) m_bup.setVisible(true);
}

} // namespace tavrel
