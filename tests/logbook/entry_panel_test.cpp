// The entry panel, the lookup, the station row and the log window on the real main window: only
// their wiring; the rules are tested on the plain logic.

#include "app/AppFolder.h"
#include "core/Controls.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"
#include "support/LogRows.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

std::string contact(const char* date, const char* call, const char* band, const char* name, const char* loc) {
    return std::string("zqx,") + date + "," + call + ",120000," + band + ",BPSK,40,120500,579,579," + name +
           ",,,,," + loc + ",,,,,,,,|:\r\n";
}

const std::string kFirst = contact("20250102", "DL1ABC", "20", "hans", "JO30"); // as kept by hand
const std::string kLast = contact("20250302", "DL1ABC", "20", "Hans-Peter", "JO62QM");
const std::string kLog = kLogHeader + kFirst + contact("20250301", "G4XYZ", "40", "Bob", "") + kLast;

class EntryTest : public ::testing::Test {
protected:
    void start(const std::string& logBytes = {}) {
        if (!logBytes.empty()) writeFile(h.file("zizoro.tan"), logBytes);
        installMissingDataFiles(h.dir.path); // the shipped prefix table
        h.startWith({{16, "51.5"}, {17, "0.1"}});
    }
    void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        QTest::keyClicks(e, text);
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    std::string log() const { return readFile(h.file("zizoro.tan")); }
    FormHarness h;
    EntryPanel& entry = *h.form->entry;
};

TEST_F(EntryTest, StoringAppendsExactlyOneLineAndResetsTheReports) {
    start();
    EXPECT_EQ(log(), kLogHeader);
    EXPECT_EQ(entry.qno->text(), "1");
    h.form->state.utcTime = "14:35:09";
    type(entry.hiscall, QString::fromUtf8("q1\u00D8xy"));
    entry.start->setText("14:30:00");
    type(entry.qtht, "bath, england");
    entry.notes->setText("  first, QSO\r\n");
    entry.locator->setText("io81mj");
    entry.hisrst->setText("599");
    click(entry.editlog);
    EXPECT_EQ(log(), kLogHeader + "zqx,20261207,Q10XY,143000,20,BPSK,40,143509,599,579,,"
                                  "Bath/ England,  first/ QSO  ,,,IO81MJ,,,,,,,,|:\r\n");
    EXPECT_EQ(entry.qno->text(), "2");
    EXPECT_EQ(entry.hisrst->text(), "579");
    EXPECT_EQ(entry.endt->text(), "14:35:09");
    EXPECT_EQ(entry.hiscall->text(), QString::fromUtf8("q1\u00D8xy")); // the panel is not cleared
    EXPECT_EQ(h.form->logTable.rows[1][12], "first/ QSO  ");           // as the loader reads it back

    // cllog keeps the call and sets the band in use; Clear empties the call too.
    for (QLineEdit* e : {entry.hisname, entry.qtht, entry.start, entry.notes})
        e->setText("x");
    h.form->state.currentBand = "40";
    h.form->entryControl->cllog();
    EXPECT_EQ(entry.hiscall->text() + entry.hisname->text() + entry.qtht->text() + entry.start->text() +
                  entry.notes->text(),
              QString::fromUtf8("q1\u00D8xy"));
    EXPECT_EQ(entry.band->currentText(), "40");
    click(entry.clearlog);
    EXPECT_TRUE(entry.hiscall->text().isEmpty());

    // The store after the sign-off also empties the transmit window.
    h.form->state.logAfterTx = 1;
    entry.hiscall->setText("F5AB");
    entry.hisname->setText("Jean");
    h.form->transmit->txtTXData->setPlainText("left over");
    h.modem.raiseTxState(0);
    EXPECT_EQ(h.form->logTable.rows.back()[10], "Jean");
    EXPECT_EQ(entry.hiscall->text() + entry.hisname->text() + h.form->transmit->txtTXData->toPlainText(),
              "F5AB");
}

TEST_F(EntryTest, CapturedWordIsFiledByDoubleClickAndShownOnlyOnChange) {
    start();
    h.form->show();
    auto* word = h.form->capture->Textclick;
    word->setText("Heidi");
    EXPECT_TRUE(word->isVisible());
    QTest::mouseDClick(entry.hisname, Qt::LeftButton);
    QTest::mouseDClick(entry.hisrst, Qt::LeftButton); // takes no captured text
    QCoreApplication::processEvents();
    EXPECT_EQ(entry.hisname->text() + entry.hisrst->text(), "Heidi579");
    EXPECT_FALSE(word->isVisible());
    word->setText("Heidi"); // the same word again: no change, no box
    EXPECT_FALSE(word->isVisible());
}

// The lookup, the worked-before line, the station row and the question before a duplicate.
TEST_F(EntryTest, TypingACallShowsWhatTheLogAndThePrefixTableKnow) {
    start(kLog);
    auto& lookup = *h.form->lookup;
    auto& row = *h.form->stationInfo;
    setBackColour(h.form->qso->answer, colours::brightGreen);
    entry.band->setCurrentText("20");
    type(entry.hiscall, " dl1a");
    EXPECT_EQ(entry.hiscall->text(), "dl1a"); // trimmed
    EXPECT_EQ(backColour(h.form->qso->answer), colours::buttonFace());
    EXPECT_EQ(lookup.qsotot->text(), "2");
    EXPECT_EQ(lookup.slist->toPlainText(), "2025-01-02     12:05     20    579    579\n"
                                           "2025-03-02     12:05     20    579    579");
    EXPECT_EQ(QStringList({row.Label38->text(), row.Label40->text(), row.Label39->text()}),
              QStringList({" Fed. Rep. of Germany", "91", "Worked Prefix"}));
    EXPECT_TRUE(lookup.workedband->isHidden()); // no exact call
    click(lookup.Command1);                     // the newest contact's details
    EXPECT_EQ(entry.hiscall->text() + entry.hisname->text() + entry.locator->text(),
              "DL1ABCHans-PeterJO62QM");
    EXPECT_FALSE(lookup.workedband->isHidden());
    entry.band->setCurrentText("40");
    EXPECT_EQ(lookup.workedband->text(), "New on 40 m BPSK");
    entry.locator->setText("FN31pr");
    EXPECT_EQ(row.Label40->text() + row.beamfrom->text(), "289from locator FN31PR");
    entry.hiscall->clear();
    EXPECT_TRUE(lookup.scall->text().isEmpty());
    EXPECT_FALSE(row.Label39->isVisibleTo(h.form.get()));
    type(entry.hiscall, "W1AW");
    EXPECT_EQ(backColour(row.Label39), colours::green); // New Prefix

    // "Log Entry" twice for the same contact asks the second time; No stores nothing.
    h.form->state.qsoDateKey = "20250401";
    entry.start->setText("09:00:00");
    int asked = 0;
    bool answer = false;
    h.form->entryControl->confirmDuplicate = [&](const std::string&) {
        ++asked;
        return answer;
    };
    click(entry.editlog);
    click(entry.editlog);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(h.form->logTable.logCount(), 5);
    answer = true;
    click(entry.editlog);
    EXPECT_EQ(h.form->logTable.logCount(), 6);
}

TEST_F(EntryTest, DamagedLogStopsTheStartNamingItsLineAndIsLeftUntouched) {
    const std::string damaged = kLogHeader + kFirst + kFirst.substr(0, 40) + ",extra,,,,,,,,,,,,,,|:\r\n";
    writeFile(h.file("zizoro.tan"), damaged);
    h.writeSettingsWith({});
    const auto stop = h.startup->startup();
    ASSERT_TRUE(stop);
    EXPECT_NE(stop->message.find("line 3"), std::string::npos) << stop->message;
    EXPECT_EQ(log(), damaged);
}

// Search, edit and delete keep the list and the file in step; each contact is listed once.
TEST_F(EntryTest, LogWindowSearchEditAndDelete) {
    start(kLog);
    LogViewControl& view = *h.form->logViewControl;
    LogViewPanel& panel = *h.form->logView;
    entry.hiscall->setText("AA1A"); // stored before the list is first shown
    click(entry.editlog);
    const std::string added = log().substr(kLog.size());
    click(entry.log);
    EXPECT_TRUE(panel.logview->isColumnHidden(1));
    EXPECT_EQ(panel.logcount->text(), "4 contacts");
    panel.logsearch->setText("bob");
    EXPECT_EQ(panel.logcount->text(), "1 of 4 contacts");
    ASSERT_EQ(view.sorted().rowCount(), 1);
    panel.logview->setCurrentIndex(view.sorted().index(0, 0));
    EXPECT_EQ(view.selectedRecord(), 2);

    view.editRecord = [](const LogRecord& c, int) -> std::optional<LogRecord> {
        LogRecord typed = c;
        typed[10] = "bob smith";
        typed[15] = "io93fs";
        return typed;
    };
    click(panel.editcontact);
    EXPECT_EQ(log(), kLogHeader + kFirst + contact("20250301", "G4XYZ", "40", "Bob Smith", "IO93FS") + kLast +
                         added);
    EXPECT_EQ(readFile(h.file("zizoro.tan.bak")), kLog + added);
    EXPECT_EQ(h.form->logTable.rows[2][10], "Bob Smith");
    panel.logsearch->clear();
    EXPECT_EQ(view.sorted().rowCount(), 4);
    EXPECT_EQ(view.selectedRecord(), 2); // the edited contact stays selected

    std::string asked;
    view.confirmDelete = [&](const std::string& what) {
        asked = what;
        return true;
    };
    click(panel.deletecontact);
    EXPECT_NE(asked.find("G4XYZ, 2025-03-01 12:05 UTC"), std::string::npos) << asked;
    EXPECT_EQ(h.form->logTable.logCount(), 4);
    EXPECT_EQ(view.sorted().rowCount(), 3);
    EXPECT_EQ(entry.qno->text(), "4");
    EXPECT_EQ(log(), kLogHeader + kFirst + kLast + added);

    entry.hiscall->setText("ZZ9Z"); // stored while the window is open
    entry.hisname->setText("bob");
    click(entry.editlog);
    ASSERT_EQ(view.sorted().rowCount(), 4);
    view.logview_ColumnClick(4); // Name folds case
    QStringList names;
    for (int r = 0; r < 4; ++r)
        names << view.sorted().index(r, 4).data().toString();
    EXPECT_EQ(names, QStringList({"", "Bob", "hans", "Hans-Peter"}));
    click(panel.Command3);
    EXPECT_FALSE(panel.isVisible());
}

} // namespace
