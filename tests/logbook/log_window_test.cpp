// The log window's search, edit and delete, and what the entry panel says of a call already in
// the log, on the real main window.

#include "app/AppFolder.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

std::string contact(const char* date, const char* call, const char* start, const char* band, const char* name,
                    const char* loc) {
    return std::string("zqx,") + date + "," + call + "," + start + "," + band + ",BPSK,40,120500,579,579," +
           name + ",,,,," + loc + ",,,,,,,,|:\r\n";
}

const std::string kLog = std::string(kLogHeaderLine) +
                         contact("20250102", "DL1ABC", "120000", "20", "Hans", "JO62QM") +
                         contact("20250301", "G4XYZ", "130000", "40", "Bob", "") +
                         contact("20250302", "F5AB", "140000", "20", "Jean", "JN18");

class LogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
        writeFile(h->file("zizoro.tan"), kLog);
        installMissingDataFiles(h->dir.path);
        SettingsList s = defaultSettings();
        s[16] = "51.5";
        s[17] = "0.1";
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
    }
    std::unique_ptr<FormHarness> h;
};

TEST_F(LogWindowTest, SearchEditAndDeleteKeepTheListAndTheFileInStep) {
    LogViewControl& view = *h->form->logViewControl;
    LogViewPanel& panel = *h->form->logView;
    QTest::mouseClick(h->form->entry->log, Qt::LeftButton);
    EXPECT_TRUE(panel.logview->isColumnHidden(1));
    EXPECT_EQ(panel.logcount->text(), "3 contacts");

    panel.logsearch->setText("2025-03");
    EXPECT_EQ(view.sorted().rowCount(), 2);
    EXPECT_EQ(panel.logcount->text(), "2 of 3 contacts");
    panel.logsearch->setText("bob");
    ASSERT_EQ(view.sorted().rowCount(), 1);
    panel.logview->setCurrentIndex(view.sorted().index(0, 0));
    EXPECT_EQ(view.selectedRecord(), 2);

    view.editRecord = [](const LogRecord& c, int) -> std::optional<LogRecord> {
        LogRecord typed = c;
        typed[10] = "bob smith";
        typed[15] = "io93fs";
        return typed;
    };
    QTest::mouseClick(panel.editcontact, Qt::LeftButton);
    EXPECT_EQ(readFile(h->file("zizoro.tan")),
              std::string(kLogHeaderLine) + contact("20250102", "DL1ABC", "120000", "20", "Hans", "JO62QM") +
                  contact("20250301", "G4XYZ", "130000", "40", "Bob Smith", "IO93FS") +
                  contact("20250302", "F5AB", "140000", "20", "Jean", "JN18"));
    EXPECT_EQ(readFile(h->file("zizoro.tan.bak")), kLog);
    EXPECT_EQ(h->form->logTable.rows[2][10], "Bob Smith");
    panel.logsearch->clear();
    EXPECT_EQ(view.sorted().rowCount(), 3);
    EXPECT_EQ(view.selectedRecord(), 2); // the edited contact stays selected

    std::string asked;
    view.confirmDelete = [&](const std::string& what) {
        asked = what;
        return true;
    };
    QTest::mouseClick(panel.deletecontact, Qt::LeftButton);
    EXPECT_NE(asked.find("G4XYZ, 2025-03-01 12:05 UTC"), std::string::npos) << asked;
    EXPECT_EQ(h->form->logTable.logCount(), 3);
    EXPECT_EQ(view.sorted().rowCount(), 2);
    EXPECT_EQ(h->form->entry->qno->text(), "3");
    EXPECT_EQ(readFile(h->file("zizoro.tan")),
              std::string(kLogHeaderLine) + contact("20250102", "DL1ABC", "120000", "20", "Hans", "JO62QM") +
                  contact("20250302", "F5AB", "140000", "20", "Jean", "JN18"));
}

TEST_F(LogWindowTest, KnownCallShowsWorkedBandLocatorHeadingAndAsksBeforeADuplicate) {
    EntryPanel& entry = *h->form->entry;
    LookupPanel& lookup = *h->form->lookup;
    StationInfoRow& row = *h->form->stationInfo;
    entry.band->setCurrentText("20");
    entry.hiscall->setText("DL1ABC");
    EXPECT_EQ(lookup.workedband->text(), "Worked before on 20 m BPSK");
    EXPECT_FALSE(lookup.workedband->isHidden());
    EXPECT_EQ(row.Label40->text(), "78"); // from the locator logged last time
    EXPECT_EQ(row.beamfrom->text(), "from locator JO62QM");
    entry.band->setCurrentText("40");
    EXPECT_EQ(lookup.workedband->text(), "New on 40 m BPSK");
    entry.locator->setText("FN31pr");
    EXPECT_EQ(row.Label40->text(), "289");
    entry.locator->clear();
    entry.hiscall->setText("DL1AB");
    EXPECT_TRUE(lookup.workedband->isHidden());
    EXPECT_TRUE(row.beamfrom->text().startsWith("from prefix")) << row.beamfrom->text().toStdString();

    // "Log Entry" twice for the same contact asks the second time; No stores nothing.
    h->form->state.qsoDateKey = "20250401";
    entry.hiscall->setText("G4XYZ");
    entry.start->setText("09:00:00");
    int asked = 0;
    bool answer = false;
    h->form->entryControl->confirmDuplicate = [&](const std::string&) {
        ++asked;
        return answer;
    };
    QTest::mouseClick(entry.editlog, Qt::LeftButton);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(h->form->logTable.logCount(), 5);
    QTest::mouseClick(entry.editlog, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(h->form->logTable.logCount(), 5);
    answer = true;
    QTest::mouseClick(entry.editlog, Qt::LeftButton);
    EXPECT_EQ(h->form->logTable.logCount(), 6);
}

} // namespace
