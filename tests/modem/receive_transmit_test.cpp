// Received characters in the windows, typing and switching, PTT, against FakeModem/FakeSerial.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    void startWith(std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        for (auto [i, v] : items) s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
        h->form->show();
        h->modem.raiseStatus(1200, 0); // the band restore's re-apply
    }
    void receive(const std::string& text) {
        for (unsigned char c : text) h->modem.raiseRxChar(c);
    }
    void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton);
    }
    MainState& state() { return h->form->state; }
    std::unique_ptr<FormHarness> h;
};

TEST_F(PanelTest, ReceivedTextReachesBothWindowsWithSlashedZero) {
    startWith({});
    receive("CQ 10\r\n");
    receive("R0");
    EXPECT_EQ(h->form->receive->txtrxdata1->text(), QString::fromUtf8("R\u00D8"));
    const std::string history = h->form->receiveControl->windows().history;
    EXPECT_EQ(history.substr(history.size() - 9), std::string("CQ 1\xD8\r\n\r\n"));
    EXPECT_TRUE(h->form->receive->txtRXData->toPlainText().endsWith(QString::fromUtf8("CQ 1\u00D8\n\n")));

    state().slashZero = 0;
    receive("0");
    EXPECT_EQ(h->form->receive->txtrxdata1->text(), QString::fromUtf8("R\u00D80"));
}

TEST_F(PanelTest, Windows1252CodesShowAsTheirCharacters) {
    startWith({});
    receive("\x80\x93\xE9");
    EXPECT_EQ(h->form->receive->txtrxdata1->text(), QString::fromUtf8("\u20AC\u201C\u00E9"));
}

TEST_F(PanelTest, DisplayOffShowsNothingButStillKeepsTheTransmitterKeyed) {
    startWith({});
    state().rxDisplayOn = 0;
    h->modem.setPending(3);
    h->modem.clearCalls();
    receive("abc");
    EXPECT_TRUE(h->form->receive->txtrxdata1->text().isEmpty());
    EXPECT_EQ(h->modem.countCalls("StartTx(0)"), 3);
}

TEST_F(PanelTest, ClearLeavesElevenLineEndsAndTheLineWindowAlone) {
    startWith({});
    receive("hello\rwor");
    click(h->form->receive->clearrx);
    EXPECT_EQ(h->form->receiveControl->windows().history, std::string("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    EXPECT_EQ(h->form->receive->txtrxdata1->text(), "wor");
}

TEST_F(PanelTest, DoubleClickedReceiveWordGoesToTheCaptureBox) {
    startWith({});
    receive("name is Heidi\r");
    h->form->show();
    auto* history = h->form->receive->txtRXData;
    QTextCursor c = history->document()->find("Heidi");
    ASSERT_FALSE(c.isNull());
    history->setTextCursor(c);
    QTest::mouseDClick(history->viewport(), Qt::LeftButton, {}, history->cursorRect(c).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(h->form->capture->Textclick->text(), "Heidi");
}

TEST_F(PanelTest, TypingWhileTransmittingAppendsOnlyTheLastCharacter) {
    startWith({});
    click(h->form->transmit->Label52);
    EXPECT_EQ(h->modem.lastStartTx, 0);
    EXPECT_FALSE(h->form->transmit->Label52->isVisibleTo(h->form.get()));
    EXPECT_TRUE(h->form->transmit->Label53->isVisibleTo(h->form.get()));
    h->modem.raiseTxState(1);
    auto* tx = h->form->transmit->txtTXData;
    tx->setFocus();
    QTest::keyClicks(tx, "AB");
    QTest::keyClick(tx, Qt::Key_Backspace);
    EXPECT_EQ(state().pendingTx, "ABA");
    QTest::keyClick(tx, Qt::Key_Return);
    EXPECT_EQ(state().pendingTx, "ABA\r\n");
}

TEST_F(PanelTest, TypingWhileReceivingOnlyBuildsTheWindowUntilTheSwitch) {
    startWith({});
    auto* tx = h->form->transmit->txtTXData;
    QTest::keyClicks(tx, "hello");
    QTest::keyClick(tx, Qt::Key_Return);
    QTest::keyClicks(tx, "de G4ABC");
    EXPECT_EQ(state().pendingTx, "\r\n"); // a line end is queued whatever the state
    click(h->form->radioPanel->txrxrec);
    EXPECT_EQ(state().pendingTx, "hello\r\nde G4ABC");
    EXPECT_EQ(state().liveTyping, 1);
    click(h->form->radioPanel->txrxtx);
    EXPECT_EQ(h->modem.endTxCount, 1);
}

TEST_F(PanelTest, TypedTextIsHandedOverWhenTheQueueRunsEmpty) {
    startWith({});
    state().txState = 1;
    state().pendingTx = "first";
    h->modem.setPending(5);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.sent, "");
    h->modem.drain(5);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.sent, "first");
    EXPECT_TRUE(state().pendingTx.empty());
    EXPECT_TRUE(h->form->transmit->txtTXData->toPlainText().isEmpty());
}

TEST_F(PanelTest, BtuWithEmptyWindowQueuesLineEndThenTheClosingLine) {
    startWith({{0, "G4ABC"}});
    state().hisCallUpper = "DL1XYZ";
    click(h->form->qso->btu);
    EXPECT_EQ(backColour(h->form->qso->btu), colours::brightGreen);
    EXPECT_EQ(state().pendingTx, "\r\n");
    h->modem.raiseStatus(1200, 0); // hands over the CR LF
    EXPECT_EQ(h->modem.sent, "\r\n");
    h->modem.drain(2);
    h->modem.clearCalls();
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.sent, "\r\nBTU   DL1XYZ   de   G4ABC   G4ABC   kkk\r\n");
    EXPECT_EQ(h->modem.countCalls("EndTx"), 1);
    EXPECT_EQ(state().btuTailDue, 0);
    // Back in receive the T/Over and BTU colours return to button face.
    h->modem.drain(100);
    h->modem.raiseTxState(0);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(backColour(h->form->qso->btu), colours::buttonFace());
}

TEST_F(PanelTest, PttOnTheCatPortWithoutAPttPortOrWhenThePttPortIsTheCatPort) {
    // Without a PTT port RTS keys; a PTT port on the CAT port's own cable keys its line setting
    // (27: 1 RTS, 2 DTR, 3 both) there; another port is the modem's.
    struct Case {
        const char* pttItem;
        const char* line;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {"0", "2", {"RTSEnable=1", "RTSEnable=0"}},
        {"", "2", {"RTSEnable=1", "RTSEnable=0"}},
        {"3", "2", {}},
        {"/dev/ttyUSB1", "2", {}},
        {"1", "2", {"DTREnable=1", "DTREnable=0"}},
        {"/dev/ttyS0", "1", {"RTSEnable=1", "RTSEnable=0"}},
        {" 1", "3", {"RTSEnable=1", "DTREnable=1", "RTSEnable=0", "DTREnable=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pttItem) + " line " + c.line);
        h = std::make_unique<FormHarness>();
        startWith({{26, c.pttItem}, {27, c.line}, {41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
        h->comm2.clearRecord();
        h->modem.raiseTxState(1);
        h->modem.raiseTxState(0);
        EXPECT_EQ(h->comm2.writes(), c.writes);
    }
}

TEST_F(PanelTest, TxStateShowsTheIndicatorsAndTheQueueCount) {
    startWith({});
    h->modem.setPending(4);
    h->modem.raiseTxState(1);
    EXPECT_TRUE(h->form->radioPanel->txrxtx->isVisibleTo(h->form.get()));
    EXPECT_FALSE(h->form->radioPanel->txrxrec->isVisibleTo(h->form.get()));
    EXPECT_TRUE(h->form->transmit->txfr->isVisibleTo(h->form.get()));
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->form->transmit->tx->text(), "4");
    setBackColour(h->form->qso->cq, colours::brightGreen);
    h->modem.drain(4);
    h->modem.raiseTxState(0);
    EXPECT_FALSE(h->form->transmit->txfr->isVisibleTo(h->form.get()));
    EXPECT_EQ(backColour(h->form->qso->cq), colours::buttonFace());
    EXPECT_TRUE(h->form->transmit->Label52->isVisibleTo(h->form.get()));
    EXPECT_EQ(state().txState, 0);
}

TEST_F(PanelTest, TuneTwiceKeysThenReleases) {
    startWith({});
    click(h->form->transmit->tune);
    EXPECT_EQ(backColour(h->form->transmit->tune), colours::red);
    EXPECT_EQ(h->modem.lastStartTx, 4);
    click(h->form->transmit->tune);
    EXPECT_EQ(backColour(h->form->transmit->tune), colours::green);
    EXPECT_EQ(h->modem.endTxCount, 1);
}

TEST_F(PanelTest, AbortStopsAndResetsEveryButtonColour) {
    startWith({});
    for (QPushButton* b : {h->form->qso->answer, h->form->qso->mtext[4], h->form->qso->btu})
        setBackColour(b, colours::brightGreen);
    h->modem.SendText("queued");
    click(h->form->transmit->abort);
    EXPECT_EQ(h->modem.TxPending(), 0);
    EXPECT_EQ(h->modem.countCalls("AbortTx"), 1);
    for (QPushButton* b : {h->form->qso->answer, h->form->qso->mtext[4], h->form->qso->btu,
                       h->form->transmit->abort})
        EXPECT_EQ(backColour(b), colours::buttonFace()) << b->objectName().toStdString();
}

} // namespace
