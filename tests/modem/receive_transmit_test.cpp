// The receive, transmit and status panels on the real main window, against FakeModem/FakeSerial:
// their wiring. The rules behind them are tested on the plain logic (receive_status_text_test.cpp,
// transmit_flow_test.cpp).

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    void start(const FormHarness::Items& items = {}, DateTime local = {2026, 12, 7, 14, 30, 15}) {
        h = std::make_unique<FormHarness>(local, DateTime{2026, 12, 7, 4, 44, 44});
        h->startSettled(items);
        h->form->show();
    }
    void receive(const std::string& text) {
        for (unsigned char c : text)
            h->modem.raiseRxChar(c);
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    bool shown(QWidget* w) const { return w->isVisibleTo(h->form.get()); }
    MainState& state() { return h->form->state; }
    std::unique_ptr<FormHarness> h;
};

TEST_F(PanelTest, ReceivedTextReachesBothWindowsAndTheCaptureBox) {
    auto* history = h->form->receive->txtRXData;
    auto* line = h->form->receive->txtrxdata1;
    receive("Heidi 10\r\nR0\x80"); // Windows-1252 codes show as their characters
    EXPECT_EQ(line->text(), QString::fromUtf8("R\u00D8\u20AC"));
    EXPECT_TRUE(history->toPlainText().endsWith(QString::fromUtf8("Heidi 1\u00D8\n\n")));
    QTextCursor c = history->document()->find("Heidi");
    history->setTextCursor(c);
    QTest::mouseDClick(history->viewport(), Qt::LeftButton, {}, history->cursorRect(c).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(h->form->capture->Textclick->text(), "Heidi");
    state().slashZero = 0;
    receive("0");
    click(h->form->receive->clearrx);
    EXPECT_EQ(h->form->receiveControl->windows().history, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(line->text(), QString::fromUtf8("R\u00D8\u20AC0")); // left alone by Clear
    // With the display off nothing is shown, but the transmitter is still kept keyed.
    state().rxDisplayOn = 0;
    h->modem.setPending(3);
    h->modem.clearCalls();
    receive("abc");
    EXPECT_EQ(line->text().size(), 4);
    EXPECT_EQ(h->modem.countCalls("StartTx(0)"), 3);
}

// Typed text is handed over once the modem's queue has run empty; BTU's closing line follows it.
TEST_F(PanelTest, TypedTextThenTheBtuLineAreHandedOverAtStatusEvents) {
    start({{0, "G4ABC"}});
    auto* tx = h->form->transmit->txtTXData;
    QTest::keyClicks(tx, "hello");
    QTest::keyClick(tx, Qt::Key_Return);
    click(h->form->radioPanel->txrxrec);
    EXPECT_EQ(h->modem.lastStartTx, 0);
    EXPECT_FALSE(shown(h->form->radioPanel->txrxrec));
    h->modem.raiseTxState(1);
    QTest::keyClicks(tx, "!");
    h->modem.setPending(5);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->form->transmit->tx->text(), "13");
    EXPECT_EQ(h->modem.sent, "");
    h->modem.drain(5);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.sent, "hello\r\n!");
    EXPECT_TRUE(tx->toPlainText().isEmpty());
    click(h->form->transmit->Label53);
    EXPECT_EQ(h->modem.endTxCount, 1);

    state().hisCallUpper = "DL1XYZ";
    h->modem.sent.clear();
    h->modem.drain(100);
    click(h->form->qso->btu);
    EXPECT_EQ(backColour(h->form->qso->btu), colours::brightGreen);
    h->modem.raiseStatus(1200, 0); // hands over the CR LF
    h->modem.drain(2);
    h->modem.clearCalls();
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.sent, "\r\nBTU   DL1XYZ   de   G4ABC   G4ABC   kkk\r\n");
    EXPECT_EQ(h->modem.countCalls("EndTx"), 1);
    h->modem.drain(100);
    h->modem.raiseTxState(0);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(backColour(h->form->qso->btu), colours::buttonFace());
}

TEST_F(PanelTest, TxStatePttTuneAndAbortShowOnTheIndicatorsPortAndButtons) {
    start({{26, " 1"}, {27, "3"}, {41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h->comm2.clearRecord();
    h->modem.setPending(4);
    h->modem.raiseTxState(1);
    EXPECT_TRUE(shown(h->form->radioPanel->txrxtx));
    EXPECT_FALSE(shown(h->form->radioPanel->txrxrec));
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->form->transmit->tx->text(), "4");
    setBackColour(h->form->qso->cq, colours::brightGreen);
    h->modem.drain(4);
    h->modem.raiseTxState(0);
    EXPECT_EQ(h->comm2.writes(), // PTT on the CAT port's own cable, both lines
              (std::vector<std::string>{"RTSEnable=1", "DTREnable=1", "RTSEnable=0", "DTREnable=0"}));
    EXPECT_FALSE(shown(h->form->transmit->txfr));
    EXPECT_EQ(backColour(h->form->qso->cq), colours::buttonFace());
    EXPECT_TRUE(shown(h->form->transmit->Label52));
    EXPECT_EQ(state().txState, 0);

    click(h->form->transmit->tune);
    EXPECT_EQ(backColour(h->form->transmit->tune), colours::red);
    EXPECT_EQ(h->modem.lastStartTx, 4);
    click(h->form->transmit->tune);
    EXPECT_EQ(backColour(h->form->transmit->tune), colours::green);
    EXPECT_EQ(h->modem.endTxCount, 1);

    click(h->form->transmit->tune);
    for (QPushButton* b : {h->form->qso->answer, h->form->qso->mtext[4], h->form->qso->btu})
        setBackColour(b, colours::brightGreen);
    h->modem.SendText("queued");
    h->form->transmit->txtTXData->setPlainText("tnx\nQSO sign-off is being held for queueing......");
    click(h->form->transmit->abort);
    EXPECT_EQ(h->form->transmit->txtTXData->toPlainText(), "tnx"); // the notice no longer holds
    EXPECT_EQ(h->modem.TxPending(), 0);
    EXPECT_EQ(h->modem.countCalls("AbortTx"), 1);
    EXPECT_EQ(backColour(h->form->transmit->tune), colours::green);
    for (QPushButton* b :
         {h->form->qso->answer, h->form->qso->mtext[4], h->form->qso->btu, h->form->transmit->abort})
        EXPECT_EQ(backColour(b), colours::buttonFace()) << b->objectName().toStdString();
}

TEST_F(PanelTest, StatusAreaShowsWhatTheModemReportsAndNetKeepsTransmitOnReceive) {
    start({}, DateTime{2026, 12, 7, 1, 30, 15});
    EXPECT_EQ(state().utcTime, "04:44:44"); // item 12 empty: the system's UTC
    state().settings[Item::GmtOffset] = "2";
    h->modem.setDialFreq(7035.0);
    h->modem.setRxFreq(1500);
    h->modem.setTxFreq(1000);
    h->form->receiver->Slider1->setValue(40);
    h->modem.raiseStatus(1500, 50);
    EXPECT_EQ(h->form->status->Label49->text(), "23:30:15");
    EXPECT_EQ(h->form->status->Label16->text(), "1500");
    EXPECT_EQ(h->form->status->signalBar->maskHeight(), 675.0);
    EXPECT_EQ(foreColour(h->form->status->Label2), colours::green);
    EXPECT_EQ(h->form->radioPanel->txrxfreq->text(), "7,036,500");
    EXPECT_EQ(h->modem.TxFreq(), 1500); // Net is on
    EXPECT_FALSE(shown(h->form->radioPanel->Label47));
    EXPECT_FALSE(shown(h->form->presets->Label51));
    h->modem.raiseImd(-18);
    EXPECT_EQ(h->form->status->lblimd->text(), "-18");
    EXPECT_EQ(foreColour(h->form->status->lblimd), colours::red);
    h->modem.raiseImd(-19);
    EXPECT_EQ(foreColour(h->form->status->lblimd), colours::darkGreen);
    // The receive windows turn red while transmitting.
    h->modem.setPending(2);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(foreColour(h->form->receive->txtRXData), colours::red);
    EXPECT_EQ(foreColour(h->form->receive->txtrxdata1), colours::red);
    EXPECT_EQ(foreColour(h->form->status->Label2), colours::red);
    h->modem.drain(2);
    h->form->status->Check1->setChecked(false);
    h->modem.setTxFreq(1000);
    h->modem.setDialFreq(14070);
    h->modem.setRxFreq(1800);
    h->modem.raiseStatus(1800, 0);
    EXPECT_EQ(foreColour(h->form->receive->txtrxdata1), colours::black);
    EXPECT_EQ(h->modem.TxFreq(), 1000);
    EXPECT_EQ(h->form->radioPanel->Label47->text(), "14,071,000");
    EXPECT_TRUE(shown(h->form->radioPanel->Label47));
    EXPECT_EQ(h->form->presets->Label51->text(), "1000");
    EXPECT_EQ(h->form->presets->Label50->text(), "1800");
}

} // namespace
