// The export button, the backup buttons and the reminder on the real main window.

#include "core/Controls.h"
#include "export/Backup.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

LogRecord contact(const char* call) {
    LogRecord r;
    r[0] = "zqx";
    r[1] = "20261206";
    r[2] = call;
    r[3] = "201500";
    r[4] = "20";
    r[5] = "BPSK";
    r[7] = "202000";
    r[8] = "599";
    r[23] = "|";
    return r;
}

class ExportPanel : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    // Starts with a log holding the given contacts and item 13 as given.
    void startWith(std::initializer_list<const char*> calls, const char* lastBackup = "20261206") {
        ASSERT_EQ(newlog(h->file("zizoro.tan")), std::nullopt);
        for (const char* c : calls) {
            LogRecord r = contact(c);
            ASSERT_EQ(appendContact(h->file("zizoro.tan"), r), std::nullopt);
        }
        SettingsList s = defaultSettings();
        s[0] = "G4ABC";
        s[13] = lastBackup;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
        h->form->state.tellOperator = [this](const std::string& t) { told << QString::fromStdString(t); };
        BackupControl& b = *h->form->backupControl;
        b.documentsFolder = h->dir.path / "home" / "Documents";
        b.mediaRoots = {h->dir.path / "media" / "op"};
        b.mountTable = h->dir.path / "mountinfo";
        writeFile(b.mountTable, "");
        b.askRetry = [this](const QString& text) {
            boxes << text;
            return false;
        };
        b.tellDone = [this](const QString& t) { done << t; };
    }
    // A removable medium mounted below the media folder.
    fs::path mount(const char* name) {
        const fs::path point = h->dir.path / "media" / "op" / name;
        fs::create_directories(point);
        writeFile(h->dir.path / "mountinfo", "40 22 8:17 / " + point.string() + " rw - vfat /dev/sdb1 rw\n");
        return point;
    }
    std::vector<std::string> adiLines() {
        const std::string bytes = readFile(h->file("zizoro.adi"));
        std::vector<std::string> lines;
        for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(bytes.substr(at, end - at));
        return lines;
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

    std::unique_ptr<FormHarness> h;
    QStringList told, done, boxes;
};

TEST_F(ExportPanel, Command6ExportsTheLogHeldInMemory) {
    startWith({"DL1AAA", "F5BBB"});
    // A record that reached the file after the log was read is not in memory.
    LogRecord late = contact("JA1CCC");
    ASSERT_EQ(appendContact(h->file("zizoro.tan"), late), std::nullopt);
    h->form->state.utcTime = "21:00:05";
    click(h->form->logView->Command6);
    const auto lines = adiLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Tavrel ADIF Log Export");
    EXPECT_EQ(lines[1], "12-07-2026   21:00:05");
    EXPECT_EQ(lines[2], "<EOH>");
    EXPECT_EQ(lines[3], "<QSO_DATE:8>20261206<CALL:6>DL1AAA<TIME_ON:6>201500<BAND:3>20m<MODE:3>PSK"
                        "<SUBMODE:5>PSK31<TIME_OFF:6>202000<RST_SENT:3>599<EOR>");
    EXPECT_NE(lines[4].find("<CALL:5>F5BBB"), std::string::npos);
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(ExportPanel, HeaderOnlyLogExportsThreeLinesAndASecondExportDiffersOnlyInLineTwo) {
    startWith({});
    click(h->form->logView->Command6);
    const auto first = adiLines();
    EXPECT_EQ(first, (std::vector<std::string>{"Tavrel ADIF Log Export", "12-07-2026   ", "<EOH>"}));

    startWith({"DL1AAA"});
    h->form->state.utcTime = "14:30:15";
    click(h->form->logView->Command6);
    const auto before = adiLines();
    h->form->state.clock = Clock::fixed({2026, 12, 8, 1, 0, 0}, {2026, 12, 8, 0, 0, 0});
    h->form->state.utcTime = "00:00:01";
    click(h->form->logView->Command6);
    const auto after = adiLines();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (i == 1) continue;
        EXPECT_EQ(before[i], after[i]) << "line " << i + 1;
    }
    EXPECT_EQ(after[1], "12-08-2026   00:00:01");
}

TEST_F(ExportPanel, ExportThatCannotBeWrittenTellsTheOperatorWhy) {
    startWith({"DL1AAA"});
    fs::create_directory(h->file("zizoro.adi"));
    click(h->form->logView->Command6);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("zizoro.adi")) << told[0].toStdString();
}

TEST_F(ExportPanel, BackupWithoutRemovableMediumKeepsLocalCopiesAndCancelHidesTheReminder) {
    startWith({"DL1AAA"}, "");
    writeFile(h->file("spectrum.col"), "palette");
    ASSERT_TRUE(h->form->backup->isVisibleTo(h->form.get()));
    // The main window's whole list is written, as it stands in memory.
    h->form->state.settings[Item::QslText] = "QSL via bureau";
    h->form->state.settings.takeChange();
    fs::create_directories(h->dir.path / "media" / "op" / "LEFTOVER"); // no medium mounted there
    click(h->form->entry->bu);

    ASSERT_EQ(boxes.size(), 1);
    const QString docsText = QString::fromStdString((h->dir.path / "home" / "Documents").string());
    EXPECT_TRUE(boxes[0].startsWith("No removable medium is mounted under ")) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(docsText)) << boxes[0].toStdString();
    EXPECT_FALSE(boxes[0].contains("A:")) << boxes[0].toStdString();
    ASSERT_EQ(done.size(), 1);
    EXPECT_TRUE(done[0].startsWith("Copies made in " + docsText)) << done[0].toStdString();
    EXPECT_TRUE(done[0].contains("No copies on a removable medium")) << done[0].toStdString();
    EXPECT_FALSE(h->form->backup->isVisibleTo(h->form.get()));
    EXPECT_FALSE(h->form->state.settings.changePending());
    const SettingsList onDisk = readSettings(h->file("tavrel.ini"));
    EXPECT_EQ(onDisk[13], "20261207");
    EXPECT_EQ(onDisk[1], "QSL via bureau");
    const fs::path docs = h->dir.path / "home" / "Documents";
    EXPECT_EQ(readFile(docs / "20261207.log"), readFile(h->file("zizoro.tan")));
    EXPECT_EQ(readSettings(docs / "20261207.ini")[13], "20261207");
    EXPECT_EQ(readFile(docs / "20261207.col"), "palette");
    EXPECT_TRUE(told.isEmpty());

    // The next start-up finds the backup recent.
    h->startup->startup();
    EXPECT_FALSE(h->form->backup->isVisibleTo(h->form.get()));
}

TEST_F(ExportPanel, BackUpNowCopiesToTheMediumAndCancelOnlyHides) {
    startWith({"DL1AAA"}, "x");
    writeFile(h->file("spectrum.col"), "palette");
    auto* bup = h->form->backup;
    h->form->show();
    ASSERT_TRUE(bup->isVisible());
    click(bup->Command5);
    EXPECT_FALSE(bup->isVisibleTo(h->form.get()));
    EXPECT_EQ(readSettings(h->file("tavrel.ini"))[13], "x");

    bup->setVisible(true);
    const fs::path stick = mount("STICK");
    click(bup->Command4);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_FALSE(bup->isVisibleTo(h->form.get()));
    EXPECT_EQ(readFile(stick / "20261207.col"), "palette");
    ASSERT_EQ(done.size(), 1);
    EXPECT_TRUE(done[0].contains(QString::fromStdString(stick.string()))) << done[0].toStdString();
    EXPECT_EQ(h->form->state.item(Item::LastBackup), "20261207");
}

TEST_F(ExportPanel, MissingPaletteIsReportedByName) {
    startWith({"DL1AAA"});
    fs::remove(h->file("spectrum.col"));
    click(h->form->entry->bu);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QString::fromStdString(h->file("spectrum.col").string())))
        << told[0].toStdString();
    EXPECT_TRUE(fs::exists(h->dir.path / "home" / "Documents" / "20261207.log"));
}

TEST(NoMediumBox, SaysWhatWentWrongWhereTheCopiesAreAndWhatTheButtonsDo) {
    testApplication();
    const auto box = makeNoMediumBox(
        nullptr, noMediumText("No removable medium is mounted under /media/op.", "/home/op/Documents"));
    EXPECT_EQ(box->windowTitle(), "Error!!");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(box->text(),
              "No removable medium is mounted under /media/op.\n"
              "The copies on this computer are in /home/op/Documents.\n"
              "Mount a removable medium (a USB stick, say) and press Retry, or press Cancel to end "
              "the backup without it.");
}

struct ReminderCase {
    const char* name;
    DateTime today;
    const char* lastBackup;
    bool shows;
    bool contact = true; // the log holds one
};

class ReminderAtStartup : public ::testing::TestWithParam<ReminderCase> {};

TEST_P(ReminderAtStartup, ShowsWhenMoreThanTenDaysOrNoDate) {
    testApplication();
    const ReminderCase& c = GetParam();
    FormHarness h(c.today, c.today);
    SettingsList s = defaultSettings();
    s[13] = c.lastBackup;
    ASSERT_EQ(writeSettings(h.file("tavrel.ini"), s), std::nullopt);
    ASSERT_EQ(newlog(h.file("zizoro.tan")), std::nullopt);
    LogRecord r = contact("DL1AAA");
    if (c.contact) {
        ASSERT_EQ(appendContact(h.file("zizoro.tan"), r), std::nullopt);
    }
    h.startup->startup();
    EXPECT_EQ(h.form->backup->isVisibleTo(h.form.get()), c.shows);
    // Once put away it stays away: the re-apply after a band click or a settings save is no start.
    h.form->backupControl->Command5_Click();
    h.startup->reapplySettings();
    EXPECT_FALSE(h.form->backup->isVisibleTo(h.form.get()));
}

INSTANTIATE_TEST_SUITE_P(Days, ReminderAtStartup,
                         ::testing::Values(ReminderCase{"ElevenDays", {2026, 3, 12}, "20260301", true},
                                           ReminderCase{
                                               "TwoDaysOverMonthEnd", {2026, 2, 1}, "20260130", false},
                                           ReminderCase{"NeverBackedUp", {2026, 2, 12}, "", true},
                                           ReminderCase{"NoContactYet", {2026, 2, 12}, "", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
