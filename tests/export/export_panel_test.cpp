// The export button, the backup buttons and the reminder on the real main window.

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
    // Starts with a log holding one contact and item 13 as given; no medium is mounted.
    void startWith(const char* lastBackup) {
        writeFile(h.file("zizoro.tan"), std::string(kLogHeaderLine) + kContact);
        writeFile(h.file("spectrum.col"), "palette");
        h.startWith({{13, lastBackup}});
        h.form->state.tellOperator = [this](const std::string& t) { told << QString::fromStdString(t); };
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
    QStringList told, done, boxes;
};

// The log held in memory, the date of the click; a failed write is told.
TEST_F(ExportPanel, ExportWritesTheLogInMemoryWithTheTimeOfTheClick) {
    startWith("20261206");
    writeFile(h.file("zizoro.tan"), readFile(h.file("zizoro.tan")) + kContact); // reached the file later
    h.form->state.clock = Clock::fixed({2026, 12, 8, 1, 0, 0}, {2026, 12, 8, 0, 0, 0});
    h.form->state.utcTime = "00:00:01";
    click(h.form->logView->Command6);
    EXPECT_EQ(readFile(h.file("zizoro.adi")),
              "Tavrel ADIF Log Export\r\n12-08-2026   00:00:01\r\n<EOH>\r\n"
              "<QSO_DATE:8>20261206<CALL:6>DL1AAA<TIME_ON:6>201500<BAND:3>20m"
              "<MODE:3>PSK<SUBMODE:5>PSK31<TIME_OFF:6>202000<RST_SENT:3>599<EOR>\r\n");
    EXPECT_TRUE(told.isEmpty());
    fs::remove(h.file("zizoro.adi"));
    fs::create_directory(h.file("zizoro.adi"));
    click(h.form->logView->Command6);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("zizoro.adi")) << told[0].toStdString();
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
    EXPECT_EQ(boxes,
              QStringList(noMediumText(
                  "No removable medium is mounted under " + (h.dir.path / "media").string() + ".", docs)));
    ASSERT_EQ(done.size(), 1);
    EXPECT_TRUE(done[0].startsWith("Copies made in " + QString::fromStdString(docs.string())));
    ASSERT_EQ(told.size(), 1); // the missing palette, by name
    EXPECT_TRUE(told[0].contains(QString::fromStdString(h.file("spectrum.col").string())));
    EXPECT_FALSE(reminderShown());
    EXPECT_FALSE(h.form->state.settings.changePending());
    const SettingsList onDisk = readSettings(h.file("tavrel.ini"));
    EXPECT_EQ(onDisk[13], "20261207");
    EXPECT_EQ(onDisk[1], "QSL via bureau");
    EXPECT_EQ(readFile(docs / "20261207.log"), readFile(h.file("zizoro.tan")));
    h.startup->startup();
    EXPECT_FALSE(reminderShown());
}

TEST_F(ExportPanel, ReminderBackUpNowCopiesToTheMediumAndCancelOnlyHides) {
    startWith("x");
    auto* bup = h.form->backup;
    h.form->show();
    ASSERT_TRUE(bup->isVisible());
    click(bup->Command5);
    EXPECT_FALSE(reminderShown());
    EXPECT_EQ(readSettings(h.file("tavrel.ini"))[13], "x");
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

TEST(NoMediumBox, OffersRetryAndCancelAndSaysWhereTheCopiesAre) {
    testApplication();
    const auto box = makeNoMediumBox(nullptr, noMediumText("No medium.", "/home/op/Documents"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(box->text(),
              "No medium.\nThe copies on this computer are in /home/op/Documents.\n"
              "Mount a removable medium (a USB stick, say) and press Retry, or press Cancel to end "
              "the backup without it.");
}

// At program start only, for a log that holds a contact; once put away it stays away, as the
// re-apply after a band click or a settings save is no start.
TEST(ReminderAtStartup, ShowsWhenMoreThanTenDaysOrNoDateAndALoggedContact) {
    const std::tuple<DateTime, const char*, int, bool> cases[] = {{{2026, 3, 12}, "20260301", 1, true},
                                                                  {{2026, 2, 1}, "20260130", 1, false},
                                                                  {{2026, 2, 12}, "", 0, false}};
    for (const auto& [today, lastBackup, contacts, shows] : cases) {
        FormHarness h(today, today);
        writeFile(h.file("zizoro.tan"), std::string(kLogHeaderLine) + (contacts ? kContact : ""));
        h.startWith({{13, lastBackup}});
        EXPECT_EQ(h.form->backup->isVisibleTo(h.form.get()), shows) << lastBackup;
        h.form->backupControl->Command5_Click();
        h.startup->reapplySettings();
        EXPECT_FALSE(h.form->backup->isVisibleTo(h.form.get()));
    }
}

} // namespace
