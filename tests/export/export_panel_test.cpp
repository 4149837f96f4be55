// The export button, the backup buttons and the reminder on the real main window.

#include "export/Adif.h"
#include "export/Backup.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

const std::string kContact = "zqx,20261206,DL1AAA,201500,20,BPSK,,202000,599,,,,,,,,,,,,,,,|:\r\n";

class ExportPanel : public ::testing::Test {
protected:
    // Starts with item 13 as given and a log holding these contacts; no medium is mounted.
    void startWith(const char* lastBackup, const std::string& contacts = kContact) {
        writeFile(h.file("zizoro.tan"), std::string(kLogHeaderLine) + contacts);
        writeFile(h.file("spectrum.col"), "palette");
        h.startWith({{13, lastBackup}});
        BackupControl& b = *h.form->backupControl;
        b.documentsFolder = docs;
        b.mediaRoots = {h.dir.path / "media"};
        b.mountTable = h.file("mountinfo");
        writeFile(b.mountTable, "");
        b.askRetry = [this](const QString& text) {
            boxes << text;
            return false; // Cancel
        };
        b.tellDone = [this](const QString& t) { done << t; };
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    bool reminderShown() { return h.form->backup->isVisibleTo(h.form.get()); }

    FormHarness h;
    fs::path docs = h.dir.path / "home" / "Documents";
    QStringList done, boxes;
};

// The log held in memory, the date of the click.
TEST_F(ExportPanel, ExportWritesTheLogInMemoryWithTheTimeOfTheClick) {
    startWith("20261206");
    writeFile(h.file("zizoro.tan"), readFile(h.file("zizoro.tan")) + kContact); // reached the file later
    h.form->state.clock = Clock::fixed({2026, 12, 8, 1, 0, 0}, {2026, 12, 8, 0, 0, 0});
    h.form->state.utcTime = "00:00:01";
    click(h.form->logView->Command6);
    ASSERT_EQ(h.form->logTable.logCount(), 2);
    EXPECT_EQ(readFile(h.file("zizoro.adi")), adifFile(h.form->logTable, {2026, 12, 8}, "00:00:01"));
}

// The window's settings as they stand in memory are written with the date of the backup; the
// reminder goes and stays away at the next start.
TEST_F(ExportPanel, BackupWithoutRemovableMediumKeepsLocalCopiesAndHidesTheReminder) {
    startWith("");
    ASSERT_TRUE(reminderShown());
    h.form->state.settings[Item::QslText] = "QSL via bureau";
    fs::remove(h.file("spectrum.col"));
    h.form->state.settings.takeChange();
    click(h.form->entry->bu);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].toStdString(),
              "No removable medium is mounted under " + (h.dir.path / "media").string() +
                  ".\nThe copies on this computer are in " + docs.string() +
                  ".\nMount a removable medium (a USB stick, say) and press Retry, or press Cancel to end "
                  "the backup without it.");
    EXPECT_EQ(makeNoMediumBox(nullptr, boxes[0])->standardButtons(),
              QMessageBox::Retry | QMessageBox::Cancel);
    ASSERT_EQ(done.size(), 1);
    EXPECT_TRUE(done[0].startsWith("Copies made in " + QString::fromStdString(docs.string())));
    ASSERT_EQ(h.told.size(), 1u); // the missing palette, by name
    EXPECT_NE(h.told[0].find(h.file("spectrum.col").string()), std::string::npos);
    EXPECT_FALSE(reminderShown());
    EXPECT_FALSE(h.form->state.settings.changePending());
    const SettingsList onDisk = readSettings(h.file("tavrel.ini"));
    EXPECT_EQ(onDisk[13], "20261207");
    EXPECT_EQ(onDisk[1], "QSL via bureau");
    EXPECT_EQ(readFile(docs / "20261207.log"), readFile(h.file("zizoro.tan")));
    h.startup->startup();
    EXPECT_FALSE(reminderShown());
}

// At program start only, for a log that holds a contact, after more than ten days or no date; the
// re-apply after a band click or a settings save is no start.
TEST_F(ExportPanel, ReminderAtStartOnlyCancelHidesAndBackUpNowCopiesToTheMedium) {
    startWith("", "");
    EXPECT_FALSE(reminderShown());
    startWith("20261126");
    auto* bup = h.form->backup;
    h.form->show();
    ASSERT_TRUE(bup->isVisible());
    click(bup->Command5);
    h.startup->reapplySettings();
    EXPECT_FALSE(reminderShown());
    EXPECT_EQ(readSettings(h.file("tavrel.ini"))[13], "20261126");
    bup->setVisible(true);
    const fs::path stick = h.dir.path / "media" / "STICK";
    fs::create_directories(stick);
    writeFile(h.file("mountinfo"), "40 22 8:17 / " + stick.string() + " rw - vfat x rw\n");
    click(bup->Command4);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_FALSE(reminderShown());
    EXPECT_EQ(readFile(stick / "20261207.col"), "palette");
    EXPECT_EQ(h.form->state.item(Item::LastBackup), "20261207");
}

} // namespace
