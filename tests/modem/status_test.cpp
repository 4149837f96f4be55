// The status area on StatusRdy and IMDRdy.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class StatusTest : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(StatusTest, FrequenciesBarAndSquelchLamp) {
    FormHarness h;
    h.startup->startup();
    h.modem.raiseStatus(1200, 0); // the band restore's re-apply
    h.modem.setDialFreq(7035.0);
    h.modem.setRxFreq(1500);
    h.form->receiver->Slider1->setValue(40);
    h.modem.raiseStatus(1500, 50);
    EXPECT_EQ(h.form->status->Label16->text(), "1500");
    EXPECT_EQ(h.form->status->signalBar->maskHeight(), 675.0);
    EXPECT_EQ(foreColour(h.form->status->Label2), colours::green);
    EXPECT_EQ(h.form->state.rxAbsFreq, "7036500");
    EXPECT_EQ(h.form->radioPanel->txrxfreq->text(), "7,036,500");
    h.modem.raiseStatus(1500, 40); // at the threshold the squelch stays shut
    EXPECT_EQ(foreColour(h.form->status->Label2), colours::red);
    h.modem.raiseStatus(1500, 250);
    EXPECT_EQ(h.form->status->signalBar->maskHeight(), 1335.0 - 13.2 * 101);
}

TEST_F(StatusTest, NetKeepsTransmitOnTheReceiveFrequency) {
    FormHarness h;
    h.startup->startup();
    h.modem.raiseStatus(1200, 0); // the band restore's re-apply
    h.modem.setRxFreq(1800);
    h.modem.setTxFreq(1000);
    h.modem.raiseStatus(1800, 0);
    EXPECT_EQ(h.modem.TxFreq(), 1800);
    EXPECT_FALSE(h.form->radioPanel->Label47->isVisibleTo(h.form.get()));
    EXPECT_FALSE(h.form->presets->Label51->isVisibleTo(h.form.get()));
    h.form->status->Check1->setChecked(false);
    h.modem.setTxFreq(1000);
    h.modem.setDialFreq(14070);
    h.modem.raiseStatus(1800, 0);
    EXPECT_EQ(h.modem.TxFreq(), 1000);
    EXPECT_TRUE(h.form->radioPanel->Label47->isVisibleTo(h.form.get()));
    EXPECT_EQ(h.form->radioPanel->Label47->text(), "14,071,000");
    EXPECT_EQ(h.form->presets->Label51->text(), "1000");
    EXPECT_EQ(h.form->presets->Label50->text(), "1800");
}

TEST_F(StatusTest, ImdColourTurnsAtMinus18) {
    FormHarness h;
    h.startup->startup();
    h.modem.raiseStatus(1200, 0); // the band restore's re-apply
    h.modem.raiseImd(-18);
    EXPECT_EQ(h.form->status->lblimd->text(), "-18");
    EXPECT_EQ(foreColour(h.form->status->lblimd), colours::red);
    h.modem.raiseImd(-19);
    EXPECT_EQ(foreColour(h.form->status->lblimd), colours::darkGreen);
}

TEST_F(StatusTest, ClockUsesTheOffsetOrTrueUtc) {
    FormHarness h({2026, 12, 7, 1, 30, 15}, {2026, 12, 7, 4, 44, 44});
    h.startup->startup();
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.form->state.utcTime, "04:44:44"); // item 12 empty in a new settings file
    SettingsList s = readSettings(h.file("tavrel.ini"));
    s[12] = "2";
    ASSERT_EQ(h.form->state.settings.save(s), std::nullopt);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.form->state.utcTime, "23:30:15");
    EXPECT_EQ(h.form->status->Label49->text(), "23:30:15");
}

TEST_F(StatusTest, ReceiveWindowsTurnRedWhileTransmitting) {
    FormHarness h;
    h.startup->startup();
    h.modem.raiseStatus(1200, 0); // the band restore's re-apply
    h.modem.setPending(2);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(foreColour(h.form->receive->txtRXData), colours::red);
    h.modem.drain(2);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(foreColour(h.form->receive->txtrxdata1), colours::black);
}

} // namespace
