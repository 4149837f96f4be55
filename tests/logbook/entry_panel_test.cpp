// The entry panel, the lookup and the log view on the real main window.

#include "app/AppFolder.h"
#include "core/Controls.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

const std::string kHeader(kLogHeaderLine);

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    void start(const std::string& logBytes = {}, std::initializer_list<std::pair<int, const char*>> items = {}) {
        if (!logBytes.empty()) writeFile(h->file("zizoro.tan"), logBytes);
        installMissingDataFiles(h->dir.path); // the shipped prefix table
        SettingsList s = defaultSettings();
        for (auto [i, v] : items) s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
    }
    EntryPanel& entry() { return *h->form->entry; }
    LookupPanel& lookup() { return *h->form->lookup; }
    std::string log() { return readFile(h->file("zizoro.tan")); }
    void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        QTest::keyClicks(e, text);
    }
    std::unique_ptr<FormHarness> h;
};

std::string contact(const char* date, const char* call, const char* end, const char* band, const char* his,
                    const char* my, const char* name, const char* qth, const char* loc) {
    return std::string("zqx,") + date + "," + call + ",120000," + band + ",BPSK,40," + end + "," + his + "," + my +
           "," + name + "," + qth + ",,,," + loc + ",,,,,,,,|:\r\n";
}

TEST_F(EntryTest, FreshLogIsTheHeaderAndQsoShowsOne) {
    start();
    EXPECT_EQ(log(), kHeader);
    EXPECT_EQ(entry().qno->text(), "1");
}

TEST_F(EntryTest, LogEntryAppendsExactlyOneLineAndResetsTheReports) {
    start({}, {});
    h->form->state.qsoDateKey = "20261207";
    h->form->state.utcTime = "14:35:09";
    type(entry().hiscall, QString::fromUtf8("q1\u00D8xy"));
    entry().start->setText("14:30:00");
    type(entry().hisname, "mary-ann o'neil");
    type(entry().qtht, "bath, england");
    entry().notes->setText("  first, QSO\r\n");
    entry().locator->setText("io81mj");
    entry().hisrst->setText("599");
    QTest::mouseClick(entry().editlog, Qt::LeftButton);
    EXPECT_EQ(log(), kHeader + "zqx,20261207,Q10XY,143000,20,BPSK,40,143509,599,579,Mary-ann O'neil,"
                               "Bath/ England,  first/ QSO  ,,,IO81MJ,,,,,,,,|:\r\n");
    EXPECT_EQ(entry().qno->text(), "2");
    EXPECT_EQ(entry().hisrst->text(), "579");
    EXPECT_EQ(entry().endt->text(), "14:35:09");
    EXPECT_EQ(entry().hiscall->text(), QString::fromUtf8("q1\u00D8xy")); // the panel is not cleared
    // Leading spaces and the comma come back as the loader reads them.
    EXPECT_EQ(h->form->logTable.rows[1][12], "first/ QSO  ");
}

TEST_F(EntryTest, ClearAndCllogClearDifferentFields) {
    start();
    for (QLineEdit* e : {entry().hiscall, entry().hisname, entry().qtht, entry().start, entry().notes})
        e->setText("x");
    entry().band->setCurrentText("20");
    h->form->state.currentBand = "40"; // the band in use
    h->form->entryControl->cllog();
    EXPECT_EQ(entry().hiscall->text(), "x");
    EXPECT_TRUE(entry().hisname->text().isEmpty());
    EXPECT_EQ(entry().band->currentText(), "40");
    entry().band->setCurrentText("40");
    QTest::mouseClick(entry().clearlog, Qt::LeftButton);
    EXPECT_TRUE(entry().hiscall->text().isEmpty());
    EXPECT_EQ(entry().band->currentText(), "40");
    EXPECT_EQ(entry().myrst->text(), "579");
}

TEST_F(EntryTest, CapturedWordIsFiledByDoubleClickAndShownOnlyOnChange) {
    start();
    h->form->show();
    h->form->capture->Textclick->setText("Heidi");
    EXPECT_TRUE(h->form->capture->Textclick->isVisible());
    EXPECT_TRUE(h->form->capture->testclicktitle->isVisible());
    QTest::mouseDClick(entry().hisname, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(entry().hisname->text(), "Heidi");
    EXPECT_FALSE(h->form->capture->Textclick->isVisible());
    h->form->capture->Textclick->setText("Heidi"); // the same word again: no change, no box
    EXPECT_FALSE(h->form->capture->Textclick->isVisible());
    QTest::mouseDClick(entry().hisrst, Qt::LeftButton); // takes no captured text
    QCoreApplication::processEvents();
    EXPECT_EQ(entry().hisrst->text(), "579");
}

TEST_F(EntryTest, TypingACallListsEarlierContactsOldestFirst) {
    start(kHeader + contact("20250102", "DL1ABC", "093015", "20", "579", "599", "Hans", "Bonn", "JO30") +
          contact("20250301", "G4XYZ", "100000", "40", "579", "579", "Bob", "Leeds", "IO93") +
          contact("20260605", "DL1ABC", "211500", "15", "559", "569", "Hans-Peter", "Koeln", "JO30LW"));
    type(entry().hiscall, "dl1a");
    EXPECT_EQ(h->form->state.hisCallUpper, "DL1A");
    EXPECT_EQ(lookup().qsotot->text(), "2");
    EXPECT_EQ(lookup().scall->text(), "DL1ABC");
    EXPECT_EQ(lookup().sname->text(), "Hans-Peter");
    EXPECT_EQ(lookup().slist->toPlainText(), "2025-01-02     09:30     20    579    599\n"
                                             "2026-06-05     21:15     15    559    569");
    QTest::mouseClick(lookup().Command1, Qt::LeftButton);
    EXPECT_EQ(entry().hiscall->text(), "DL1ABC");
    EXPECT_EQ(entry().hisname->text(), "Hans-Peter");
    EXPECT_EQ(entry().qtht->text(), "Koeln");
    EXPECT_EQ(entry().locator->text(), "JO30LW");
    entry().hiscall->clear();
    EXPECT_TRUE(lookup().scall->text().isEmpty());
    EXPECT_EQ(lookup().qsotot->text(), "2"); // keeps its last value
}

TEST_F(EntryTest, CallIsTrimmedAndAnswerColourReset) {
    start();
    setBackColour(h->form->qso->answer, colours::brightGreen);
    entry().hiscall->setText("  g4abc ");
    EXPECT_EQ(entry().hiscall->text(), "g4abc");
    EXPECT_EQ(h->form->state.callHead, "G4AB");
    EXPECT_EQ(backColour(h->form->qso->answer), colours::buttonFace());
}

TEST_F(EntryTest, CountryHeadingAndWorkedPrefixFollowTheCall) {
    start({}, {{16, "51.5"}, {17, "0.1"}});
    auto& row = *h->form->stationInfo;
    type(entry().hiscall, "W1AW");
    EXPECT_EQ(row.Label38->text(), " United States of America");
    EXPECT_FALSE(row.Label40->text().trimmed().isEmpty());
    EXPECT_EQ(row.Label39->text(), "New   Prefix");
    EXPECT_EQ(backColour(row.Label39), colours::green);
    h->form->state.utcTime = "10:00:00";
    QTest::mouseClick(entry().editlog, Qt::LeftButton);
    entry().hiscall->clear();
    EXPECT_FALSE(row.Label39->isVisibleTo(h->form.get()));
    EXPECT_EQ(row.Label33->text(), " ");
    type(entry().hiscall, "W1AW");
    EXPECT_EQ(row.Label39->text(), "Worked Prefix");
    EXPECT_EQ(backColour(row.Label39), colours::orange);
}

TEST_F(EntryTest, DamagedLogIsReportedWithItsLineAndLeftUntouched) {
    const std::string damaged =
        kHeader + contact("20250102", "DL1ABC", "093015", "20", "579", "599", "Hans", "Bonn", "JO30") +
        "zqx,20250103,G4X,1,20,BPSK,40,2,579,579,extra,field,,,,,,,,,,,,,|:\r\n" +
        contact("20250104", "F5AB", "093015", "20", "579", "599", "Jean", "Paris", "JN18");
    writeFile(h->file("zizoro.tan"), damaged);
    const auto stop = h->startup->startup();
    ASSERT_TRUE(stop);
    EXPECT_NE(stop->message.find("line 3"), std::string::npos) << stop->message;
    EXPECT_EQ(readFile(h->file("zizoro.tan")), damaged);
}

TEST_F(EntryTest, LogViewShowsEachContactOnceAndSortsAscending) {
    start(kHeader + contact("20250301", "G4XYZ", "100000", "40", "579", "579", "bob", "Leeds", "IO93") +
          contact("20250102", "DL1ABC", "093015", "20", "579", "599", "Hans", "Bonn", "JO30"));
    h->form->state.utcTime = "23:59:00";
    entry().hiscall->setText("AA1A"); // stored before the list is first shown
    QTest::mouseClick(entry().editlog, Qt::LeftButton);
    QTest::mouseClick(entry().log, Qt::LeftButton);
    auto& model = h->form->logViewControl->sorted();
    ASSERT_EQ(model.rowCount(), 3);
    entry().hiscall->setText("zz9z"); // stored after: added once
    QTest::mouseClick(entry().editlog, Qt::LeftButton);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(0, 0).data().toString(), "2025-03-01");
    EXPECT_EQ(model.index(1, 2).data().toString(), "09:30");
    EXPECT_EQ(model.headerData(10, Qt::Horizontal).toString(), "Notes");

    h->form->logViewControl->logview_ColumnClick(3); // Call
    QStringList calls;
    for (int r = 0; r < 4; ++r) calls << model.index(r, 3).data().toString();
    EXPECT_EQ(calls, QStringList({"AA1A", "DL1ABC", "G4XYZ", "ZZ9Z"}));
    h->form->logViewControl->logview_ColumnClick(4); // Name folds case: bob before Hans
    EXPECT_EQ(model.index(0, 4).data().toString(), "");
    EXPECT_EQ(model.index(2, 4).data().toString(), "bob");
    EXPECT_EQ(model.index(3, 4).data().toString(), "Hans");
    QTest::mouseClick(h->form->logView->Command3, Qt::LeftButton);
    EXPECT_FALSE(h->form->logView->isVisible());
}

TEST_F(EntryTest, AutomaticStoreAfterTheSignOffClearsThePanel) {
    start();
    h->form->state.logAfterTx = 1;
    entry().hiscall->setText("F5AB");
    entry().hisname->setText("Jean");
    h->form->transmit->txtTXData->setPlainText("left over");
    h->modem.raiseTxState(0);
    EXPECT_EQ(h->form->logTable.logCount(), 2);
    EXPECT_EQ(h->form->logTable.rows[1][2], "F5AB");
    EXPECT_EQ(h->form->logTable.rows[1][10], "Jean");
    EXPECT_EQ(entry().hiscall->text(), "F5AB");
    EXPECT_TRUE(entry().hisname->text().isEmpty());
    EXPECT_EQ(h->form->state.logAfterTx, 0);
    EXPECT_TRUE(h->form->transmit->txtTXData->toPlainText().isEmpty());
}

} // namespace
