// The QSO buttons on the real main window, a whole contact against FakeModem, and the macros.

#include "core/Controls.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class QsoTest : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    void start() {
        h = std::make_unique<FormHarness>(DateTime{2026, 12, 7, 15, 30, 15},
                                          DateTime{2026, 12, 7, 14, 30, 15});
        h->startSettled({{0, "G4ABC"}, {2, "Bob"}});
        h->form->show();
        h->modem.clearCalls();
        h->modem.sent.clear();
    }
    void press(QWidget* w, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(w, b); }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    // Everything the modem is told to send is sent and echoed.
    void sendAll() {
        while (h->modem.TxPending() > 0)
            h->modem.transmit(1);
    }
    std::string log() const { return readFile(h->file("zizoro.tan")); }
    MainState& state() { return h->form->state; }
    EntryPanel& entry() { return *h->form->entry; }
    QsoButtons& qso() { return *h->form->qso; }
    std::unique_ptr<FormHarness> h;
};

TEST_F(QsoTest, WholeContactIsLoggedOnceWhenTheSignOffHasGone) {
    click(h->form->radioPanel->forty);
    state().settings[Item::OwnPower] = "100 W";
    entry().hiscall->setText("dl1xyz");
    press(qso().answer);
    EXPECT_EQ(backColour(qso().answer), colours::brightGreen);
    h->modem.raiseTxState(1);
    h->form->transmit->txtTXData->setPlainText("tnx fer call");
    press(qso().endqb);
    EXPECT_TRUE(h->form->transmit->txtTXData->toPlainText().endsWith(
        "QSO sign-off is being held for queueing......"));
    const std::string before = h->modem.sent;
    EXPECT_NE(before.find("tnx fer call\r\nThank you very much"), std::string::npos);
    EXPECT_TRUE(before.ends_with("73 and good DX  de   G4ABC\r\n12-07-2026"));

    // The tail goes in once fewer than 10 characters wait to be echoed.
    sendAll();
    EXPECT_EQ(h->modem.sent, before + "   14:30:15 Z\r\n73   ====\r\n\r\n");
    EXPECT_EQ(backColour(qso().endqb), colours::buttonFace());
    EXPECT_EQ(log(), std::string(kLogHeaderLine)); // nothing stored before the over ends

    h->modem.raiseTxState(0);
    const std::string stored = log();
    EXPECT_EQ(stored, std::string(kLogHeaderLine) +
                          "zqx,20261207,DL1XYZ,143015,40,BPSK,100,143015,579,579,,,,,,,,,,,,,,|:\r\n");
    EXPECT_TRUE(entry().start->text().isEmpty());
    EXPECT_EQ(entry().band->currentText(), "40"); // the next contact is on the band in use
    h->modem.raiseTxState(0);                     // a second report changes nothing
    EXPECT_EQ(log(), stored);
}

TEST_F(QsoTest, FailedStoreAfterTheSignOffKeepsTheContactForLogEntry) {
    const std::vector<std::string>& failures = h->told;
    entry().hiscall->setText("DL1XYZ");
    press(qso().answer);
    entry().hisname->setText("Hans");
    // The log is replaced by a folder: the append cannot go anywhere.
    std::filesystem::remove(h->file("zizoro.tan"));
    std::filesystem::create_directory(h->file("zizoro.tan"));
    press(qso().endqb);
    sendAll();
    h->modem.raiseTxState(0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("zizoro.tan"), std::string::npos) << failures[0];
    EXPECT_EQ(state().logAfterTx, 0); // not tried again behind the operator's back

    // The cause gone, "Log Entry" stores it once, with the times it had.
    std::filesystem::remove(h->file("zizoro.tan"));
    ASSERT_EQ(newlog(h->file("zizoro.tan")), std::nullopt);
    state().utcTime = "14:52:00";
    click(entry().editlog);
    EXPECT_EQ(log(), std::string(kLogHeaderLine) +
                         "zqx,20261207,DL1XYZ,143015,20,BPSK,40,143015,579,579,Hans,,,,,,,,,,,,,|:\r\n");
    EXPECT_EQ(failures.size(), 1u);
}

TEST_F(QsoTest, CqClearsThePanelSendsAndLogsWhenAsked) {
    entry().hisname->setText("old");
    press(qso().cq);
    EXPECT_EQ(entry().hiscall->text(), "CQ");
    EXPECT_TRUE(entry().hisname->text().isEmpty());
    EXPECT_EQ(entry().hisrst->text(), "579");
    EXPECT_EQ(h->modem.calls.back(), "EndTx()");
    EXPECT_TRUE(h->modem.sent.starts_with("\r\n\r\nCQ CQ CQ CQ de  G4ABC   G4ABC   G4ABC\r\n"));
    ASSERT_EQ(h->form->logTable.logCount(), 2);
    const LogRecord& r = h->form->logTable.rows[1];
    EXPECT_EQ(std::vector<std::string>({r[2], r[3], r[7], r[8]}),
              std::vector<std::string>({"CQ", "", "143015", ""}));
    state().settings[Item::LogCqCalls] = "0"; // not logged with the option off
    press(qso().cq);
    EXPECT_EQ(h->form->logTable.logCount(), 2);
}

TEST_F(QsoTest, ButtonsThatLeaveTheTransmitterOn) {
    state().hisCallUpper = "";
    press(qso().tover);
    EXPECT_EQ(h->modem.sent, "\r\n   de   G4ABC   G4ABC\r\n");
    EXPECT_EQ(h->modem.calls.back(), "StartTx(0)");
    h->modem.sent.clear();
    press(qso().qsl);
    press(qso().weather);
    EXPECT_EQ(h->modem.sent, "\r\n\r\n");
    EXPECT_EQ(h->modem.countCalls("EndTx"), 0);
    press(qso().report, Qt::RightButton); // no editor for Report
    EXPECT_FALSE(h->form->macroEditor->Frame5->isVisibleTo(h->form.get()));
}

TEST_F(QsoTest, MacroEditsStoreTheirItemsAndCancelStoresNothing) {
    MacroEditor& e = *h->form->macroEditor;
    press(qso().cq, Qt::RightButton);
    EXPECT_EQ(state().macroEditItem, Item::CqText);
    EXPECT_FALSE(e.Frame6->isVisibleTo(h->form.get())); // no caption
    e.macrotext->setPlainText("CQ de G4ABC");
    e.Text4->setText("ignored");
    click(e.Command7);
    press(qso().qth, Qt::RightButton);
    e.macrotext->setPlainText("changed");
    click(e.Command8);
    press(qso().Command9);
    click(qso().Command9); // the second bank
    EXPECT_EQ(qso().Command9->text(), "B");
    press(qso().mtext[4], Qt::RightButton);
    EXPECT_EQ(state().macroEditItem, Item::UserMacro5);
    EXPECT_TRUE(e.Frame6->isVisibleTo(h->form.get()));
    e.macrotext->setPlainText("Rig: IC-735\nAnt: \"dipole\"");
    e.Text4->setText("Brag");
    click(e.Command7);
    EXPECT_EQ(qso().mtext[4]->text(), "Brag");
    EXPECT_FALSE(e.Frame5->isVisibleTo(h->form.get()));
    const SettingsList file = readSettings(h->file("tavrel.ini"));
    EXPECT_EQ(std::vector<std::string>({file[14], file[18], file[33], file[52], file[55]}),
              std::vector<std::string>({"CQ de G4ABC", "", "", "Rig: IC-735\r\nAnt: 'dipole'", "Brag"}));
    h->modem.raiseStatus(1200, 0); // re-apply: the multi-line text comes back whole
    EXPECT_EQ(qso().Command9->text(), "A");
    click(qso().Command9);
    h->modem.sent.clear();
    press(qso().mtext[4]);
    EXPECT_EQ(h->modem.sent, "\r\nRig: IC-735\r\nAnt: 'dipole'\r\n");
    EXPECT_EQ(backColour(qso().mtext[4]), colours::brightGreen);
}

} // namespace
