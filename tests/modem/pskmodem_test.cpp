#include "modem/PskModem.h"
#include "support/FormHarness.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class PskModemTest : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(PskModemTest, StatusArrivesAboutTenTimesASecondWithTheReceiveFrequency) {
    PskModem modem;
    QSignalSpy status(&modem, &Modem::StatusRdy);
    modem.setRxFreq(1500);
    modem.StartModem(-1, 1);
    modem.StartModem(-1, 1); // a re-apply starts nothing twice
    runEventsFor(1050);
    EXPECT_GE(status.count(), 6);
    EXPECT_LE(status.count(), 13);
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.first().at(0).toInt(), 1500);
}

TEST_F(PskModemTest, KeyingAgainWhileTransmittingChangesNothing) {
    PskModem modem;
    QSignalSpy state(&modem, &Modem::TxStateChg);
    modem.StartTx(0);
    ASSERT_EQ(state.count(), 1);
    EXPECT_EQ(state.first().at(0).toInt(), 1);
    modem.StartTx(0);
    EXPECT_EQ(state.count(), 1);
    EXPECT_EQ(modem.txState(), 1);
}

TEST_F(PskModemTest, AbortStopsAtOnceAndDropsTheQueue) {
    PskModem modem;
    QSignalSpy state(&modem, &Modem::TxStateChg);
    modem.SendText("CQ CQ de G4ABC");
    EXPECT_EQ(modem.TxPending(), 14);
    modem.StartTx(0);
    modem.EndTx();
    modem.AbortTx();
    EXPECT_EQ(modem.TxPending(), 0);
    ASSERT_EQ(state.count(), 2);
    EXPECT_EQ(state.last().at(0).toInt(), 0);
    modem.AbortTx(); // already receiving: no second event
    EXPECT_EQ(state.count(), 2);
}

TEST_F(PskModemTest, PropertiesKeepTheirValues) {
    PskModem modem;
    modem.setAfcLimit(300);
    modem.setTxFreq(1000);
    modem.setDialFreq(7035.0);
    EXPECT_EQ(modem.AfcLimit(), 300);
    EXPECT_EQ(modem.TxFreq(), 1000);
    EXPECT_DOUBLE_EQ(modem.DialFreq(), 7035.0);
}

} // namespace
