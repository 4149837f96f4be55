// The entry panel, the lookup and the log view on the real main window.

#include "app/AppFolder.h"
#include "core/Controls.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

const std::string kHeader(kLogHeaderLine);

std::string contact(const char* date, const char* call, const char* end, const char* name, const char* loc) {
    return std::string("zqx,") + date + "," + call + ",120000,20,BPSK,40," + end + ",579,599," + name +
           ",Bonn,,,," + loc + ",,,,,,,,|:\r\n";
}

class EntryTest : public ::testing::Test {
protected:
    void start(const std::string& logBytes = {}, const FormHarness::Items& items = {}) {
        if (!logBytes.empty()) writeFile(h.file("zizoro.tan"), logBytes);
        installMissingDataFiles(h.dir.path); // the shipped prefix table
        h.startWith(items);
    }
    void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        QTest::keyClicks(e, text);
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    FormHarness h;
    EntryPanel& entry = *h.form->entry;
};

// The line's fields are the plain record rules' business; here the panel's own part.
TEST_F(EntryTest, StoringAppendsExactlyOneLineAndResetsTheReports) {
    start();
    EXPECT_EQ(readFile(h.file("zizoro.tan")), kHeader);
    EXPECT_EQ(entry.qno->text(), "1");
    h.form->state.utcTime = "14:35:09";
    type(entry.hiscall, QString::fromUtf8("q1\u00D8xy"));
    entry.start->setText("14:30:00");
    type(entry.qtht, "bath, england");
    entry.notes->setText("  first, QSO\r\n");
    entry.locator->setText("io81mj");
    entry.hisrst->setText("599");
    click(entry.editlog);
    EXPECT_EQ(readFile(h.file("zizoro.tan")), kHeader +
                                                  "zqx,20261207,Q10XY,143000,20,BPSK,40,143509,599,579,,"
                                                  "Bath/ England,  first/ QSO  ,,,IO81MJ,,,,,,,,|:\r\n");
    EXPECT_EQ(entry.qno->text(), "2");
    EXPECT_EQ(entry.hisrst->text(), "579");
    EXPECT_EQ(entry.endt->text(), "14:35:09");
    EXPECT_EQ(entry.hiscall->text(), QString::fromUtf8("q1\u00D8xy")); // the panel is not cleared
    EXPECT_EQ(h.form->logTable.rows[1][12], "first/ QSO  ");           // as the loader reads it back
}

TEST_F(EntryTest, ClearAndCllogClearDifferentFields) {
    start();
    for (QLineEdit* e : {entry.hiscall, entry.hisname, entry.qtht, entry.start, entry.notes})
        e->setText("x");
    entry.band->setCurrentText("20");
    h.form->state.currentBand = "40"; // the band in use
    h.form->entryControl->cllog();
    EXPECT_EQ(entry.hiscall->text(), "x");
    EXPECT_TRUE(entry.hisname->text().isEmpty());
    EXPECT_EQ(entry.band->currentText(), "40");
    click(entry.clearlog);
    EXPECT_TRUE(entry.hiscall->text().isEmpty());
    EXPECT_EQ(entry.myrst->text(), "579");
}

TEST_F(EntryTest, CapturedWordIsFiledByDoubleClickAndShownOnlyOnChange) {
    start();
    h.form->show();
    h.form->capture->Textclick->setText("Heidi");
    EXPECT_TRUE(h.form->capture->Textclick->isVisible());
    QTest::mouseDClick(entry.hisname, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(entry.hisname->text(), "Heidi");
    EXPECT_FALSE(h.form->capture->Textclick->isVisible());
    h.form->capture->Textclick->setText("Heidi"); // the same word again: no change, no box
    EXPECT_FALSE(h.form->capture->Textclick->isVisible());
    QTest::mouseDClick(entry.hisrst, Qt::LeftButton); // takes no captured text
    QCoreApplication::processEvents();
    EXPECT_EQ(entry.hisrst->text(), "579");
}

TEST_F(EntryTest, TypingACallShowsEarlierContactsCountryAndWorkedPrefix) {
    start(kHeader + contact("20250102", "DL1ABC", "093015", "Hans", "JO30") +
              contact("20260605", "DL1ABC", "211500", "Hans-Peter", "JO30LW"),
          {{16, "51.5"}, {17, "0.1"}});
    auto& lookup = *h.form->lookup;
    auto& row = *h.form->stationInfo;
    setBackColour(h.form->qso->answer, colours::brightGreen);
    type(entry.hiscall, " dl1a");
    EXPECT_EQ(entry.hiscall->text(), "dl1a"); // trimmed
    EXPECT_EQ(backColour(h.form->qso->answer), colours::buttonFace());
    EXPECT_EQ(lookup.qsotot->text(), "2");
    EXPECT_EQ(lookup.slist->toPlainText(), "2025-01-02     09:30     20    579    599\n"
                                           "2026-06-05     21:15     20    579    599");
    EXPECT_EQ(QStringList({row.Label38->text(), row.Label40->text(), row.Label39->text()}),
              QStringList({" Fed. Rep. of Germany", "91", "Worked Prefix"}));
    click(lookup.Command1);
    EXPECT_EQ(entry.hiscall->text() + entry.hisname->text() + entry.locator->text(),
              "DL1ABCHans-PeterJO30LW");
    entry.hiscall->clear();
    EXPECT_TRUE(lookup.scall->text().isEmpty());
    EXPECT_FALSE(row.Label39->isVisibleTo(h.form.get()));
    type(entry.hiscall, "W1AW");
    EXPECT_EQ(backColour(row.Label39), colours::green); // New Prefix
}

TEST_F(EntryTest, DamagedLogIsReportedWithItsLineAndLeftUntouched) {
    const std::string damaged = kHeader + contact("20250102", "DL1ABC", "093015", "Hans", "JO30") +
                                "zqx,20250103,G4X,1,20,BPSK,40,2,579,579,extra,field,,,,,,,,,,,,,|:\r\n";
    writeFile(h.file("zizoro.tan"), damaged);
    h.writeSettingsWith({});
    const auto stop = h.startup->startup();
    ASSERT_TRUE(stop);
    EXPECT_NE(stop->message.find("line 3"), std::string::npos) << stop->message;
    EXPECT_EQ(readFile(h.file("zizoro.tan")), damaged);
}

TEST_F(EntryTest, LogViewShowsEachContactOnceAndSortsAscending) {
    start(kHeader + contact("20250301", "G4XYZ", "100000", "bob", "IO93") +
          contact("20250102", "DL1ABC", "093015", "Hans", "JO30"));
    h.form->state.utcTime = "23:59:00";
    entry.hiscall->setText("AA1A"); // stored before the list is first shown
    click(entry.editlog);
    click(entry.log);
    auto& model = h.form->logViewControl->sorted();
    ASSERT_EQ(model.rowCount(), 3);
    entry.hiscall->setText("zz9z"); // stored after: added once
    click(entry.editlog);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(1, 2).data().toString(), "09:30");
    EXPECT_EQ(model.headerData(10, Qt::Horizontal).toString(), "Notes");
    h.form->logViewControl->logview_ColumnClick(4); // Name folds case: bob before Hans
    QStringList names;
    for (int r = 0; r < 4; ++r)
        names << model.index(r, 4).data().toString();
    EXPECT_EQ(names, QStringList({"", "", "bob", "Hans"}));
    click(h.form->logView->Command3);
    EXPECT_FALSE(h.form->logView->isVisible());
}

TEST_F(EntryTest, AutomaticStoreAfterTheSignOffClearsThePanel) {
    start();
    h.form->state.logAfterTx = 1;
    entry.hiscall->setText("F5AB");
    entry.hisname->setText("Jean");
    h.form->transmit->txtTXData->setPlainText("left over");
    h.modem.raiseTxState(0);
    ASSERT_EQ(h.form->logTable.logCount(), 2);
    EXPECT_EQ(h.form->logTable.rows[1][10], "Jean");
    EXPECT_EQ(entry.hiscall->text(), "F5AB");
    EXPECT_TRUE(entry.hisname->text().isEmpty());
    EXPECT_EQ(h.form->state.logAfterTx, 0);
    EXPECT_TRUE(h.form->transmit->txtTXData->toPlainText().isEmpty());
}

} // namespace
