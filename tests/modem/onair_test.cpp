// On the air through a real sound server: onair_test.sh starts a private PulseAudio with a null
// sink (tavrel_loop) whose monitor comes back as the default input (tavrel_in). One modem transmits
// into the sink, another decodes what comes back, in real time, as two stations would.

#include "ModemTestSupport.h"
#include "support/FormHarness.h"

#include <QSignalSpy>
#include <cstdlib>
#include <gtest/gtest.h>
#include <signal.h>

using namespace tavrel;
using namespace tavrel::testing;

namespace {

class OnAirTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr)
            << "run through onair_test.sh, which starts PulseAudio";
    }

    // Opens the loop and fails loudly when the modem ends up on the null source instead.
    static void openSound(PskModem& m) {
        QSignalSpy spy(&m, &PskModem::audioStatusChanged);
        m.StartModem(-1, 1);
        ASSERT_TRUE(runUntil([&] { return m.audioStatus().startsWith("Sound:"); }, 5000))
            << "sound card not opened: " << m.audioStatus().toStdString();
        ASSERT_FALSE(m.usingNullSource());
    }

    static void setUpReceiver(PskModem& rx, int hz, int mode) {
        rx.setMode(mode);
        rx.setRxFreq(hz);
        rx.setAfcLimit(50);
        rx.setSquelchThreshold(50);
        rx.setSquelchSpeed(0);
    }
};

TEST_F(OnAirTest, TextSentIntoTheSinkIsDecodedExactlyFromItsMonitor) {
    struct Case {
        int mode;
        int hz;
    };
    for (const Case c : {Case{0, 1000}, Case{1, 1500}, Case{2, 800}}) {
        SCOPED_TRACE(c.mode);
        const std::string text = "CQ de G4ABC/P 599 tu\r\n";
        PskModem sender, receiver;
        ModemLog heard(receiver), sent(sender);
        setUpReceiver(receiver, c.hz, c.mode);
        sender.setMode(c.mode);
        sender.setTxFreq(c.hz);
        openSound(receiver);
        openSound(sender);
        runFor(300);
        sender.SendText(text);
        sender.StartTx(0);
        sender.EndTx();
        ASSERT_TRUE(runUntil([&] { return sent.backToReceive(); }, 30000));
        EXPECT_EQ(sent.chars, text);
        runFor(1500); // the decoder's delay and the loop's buffers
        EXPECT_EQ(heard.chars, text);
        EXPECT_TRUE(heard.states.empty());
    }
}

// Runs last (onair_test.sh runs it alone): the sound server goes away under a running modem.
TEST_F(OnAirTest, LosingTheSoundServerIsReportedAndTheClockGoesOn) {
    const char* pid = std::getenv("TAVREL_PULSE_PID");
    ASSERT_NE(pid, nullptr);
    PskModem modem;
    openSound(modem);
    QSignalSpy status(&modem, &Modem::StatusRdy);
    ::kill(std::atoi(pid), SIGKILL);
    ASSERT_TRUE(runUntil([&] { return modem.usingNullSource(); }, 8000)) << modem.audioStatus().toStdString();
    EXPECT_TRUE(modem.audioStatus().contains("silent input")) << modem.audioStatus().toStdString();
    const int before = status.count();
    runFor(1000);
    EXPECT_GE(status.count() - before, 8);
    // Transmitting still works on the null source.
    ModemLog log(modem);
    modem.SendText("ok");
    modem.StartTx(0);
    modem.EndTx();
    EXPECT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(log.chars, "ok");
}

} // namespace
