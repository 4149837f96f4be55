// Display, mode, squelch, AFC, search, trim and the two toggles, against FakeModem.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class ReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
        h->startup->startup();
        h->form->show();
        h->modem.raiseStatus(1200, 0); // the band restore's re-apply
        h->modem.clearCalls();
    }
    ReceiverControls& c() { return *h->form->receiver; }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    std::unique_ptr<FormHarness> h;
};

TEST_F(ReceiverTest, DisplayStepsThroughTheFiveKindsFromWaterfall) {
    QStringList names;
    std::vector<int> kinds;
    for (int i = 0; i < 5; ++i) {
        click(c().display);
        names << c().displayt->text();
        kinds.push_back(h->modem.displayType);
    }
    EXPECT_EQ(names, QStringList({"Raw Input", "Sync", "Carpet", "Spectrum", "Waterfall"}));
    EXPECT_EQ(kinds, (std::vector<int>{2, 3, 4, 0, 1}));
}

TEST_F(ReceiverTest, ModeStepsAndSurvivesAReapply) {
    click(c().modesel);
    EXPECT_EQ(c().modesel->text(), "QPSK USB");
    EXPECT_EQ(h->modem.mode, 1);
    h->modem.mode = -1;
    h->startup->reapplySettings();
    EXPECT_EQ(h->modem.mode, 1); // told again, as the button shows it
    click(c().modesel);
    click(c().modesel);
    EXPECT_EQ(c().modesel->text(), "BPSK");
    EXPECT_EQ(h->modem.mode, 0);
}

TEST_F(ReceiverTest, SquelchSpeedTakesEffectAtTheNextStatusEvent) {
    c().sqlset->setCurrentText("Fast");
    EXPECT_EQ(h->modem.squelchSpeed, 1);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.squelchSpeed, 0);
    EXPECT_EQ(c().sqlmode->text(), "0");
    c().sqlset->setCurrentText("Variable");
    c().squelchspeed->setValue(120);
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.squelchSpeed, 120);
    c().sqlset->setCurrentText("medium"); // typed by hand: the speed stays
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.squelchSpeed, 120);
    EXPECT_EQ(c().sqlmode->text(), "120");
}

TEST_F(ReceiverTest, SlidersGoStraightToTheModem) {
    c().Slider1->setValue(70);
    EXPECT_EQ(h->modem.squelchThreshold, 70);
    c().Slider2->setValue(300);
    EXPECT_EQ(h->modem.AfcLimit(), 300);
    EXPECT_EQ(c().Label23->text(), "300");
    c().Slider2->setValue(0);
    EXPECT_EQ(c().Label23->text(), "Off");
    c().Slider3->setValue(25);
    EXPECT_EQ(h->modem.searchRange, 25);
    c().Slider4->setValue(-400);
    EXPECT_EQ(h->modem.trimValue, -400);

    // A re-apply tells the modem every control's value again, and the display kind's name follows
    // the kind it resets.
    c().Slider2->setValue(300);
    click(c().display);
    click(c().txfocus);
    h->modem.squelchThreshold = h->modem.searchRange = h->modem.trimValue = h->modem.displayType = 999;
    h->modem.clearCalls();
    h->startup->reapplySettings();
    EXPECT_EQ(h->modem.squelchThreshold, 50);
    EXPECT_EQ(h->modem.countCalls("AfcLimit=300"), 1);
    EXPECT_EQ(h->modem.searchRange, 25);
    EXPECT_EQ(h->modem.trimValue, -400);
    EXPECT_EQ(h->modem.displayType, 1);
    EXPECT_EQ(c().displayt->text(), "Waterfall");
    EXPECT_EQ(c().Label23->text(), "300");
    EXPECT_EQ(h->form->state.keepTxFocus, 0);
    EXPECT_EQ(backColour(c().txfocus), colours::red);
}

TEST_F(ReceiverTest, TogglesFlipTheirFlagsAndColours) {
    click(c().scrollstop);
    EXPECT_EQ(h->form->state.rxDisplayOn, 0);
    EXPECT_EQ(backColour(c().scrollstop), colours::red);
    click(c().scrollstop);
    EXPECT_EQ(backColour(c().scrollstop), colours::green);
    click(c().txfocus);
    EXPECT_EQ(h->form->state.keepTxFocus, 1);
    EXPECT_EQ(backColour(c().txfocus), colours::green);
    EXPECT_EQ(c().txfocus->text(), "Foc.");
    h->form->state.rxDisplayOn = 7; // neither 0 nor 1: left alone
    click(c().scrollstop);
    EXPECT_EQ(h->form->state.rxDisplayOn, 7);
}

} // namespace
