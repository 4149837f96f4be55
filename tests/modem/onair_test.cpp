// On the air through a real sound server: onair_test.sh starts a private PulseAudio with a null
// sink (tavrel_loop) whose monitor comes back as the default input (tavrel_in). One modem transmits
// into the sink, another decodes what comes back, in real time, as two stations would.

#include "ModemTestSupport.h"
#include "core/Settings.h"
#include "app/Startup.h"
#include "logbook/LogFile.h"
#include "modem/widgets/QsoButtons.h"
#include "support/FakeSerial.h"
#include "support/FormHarness.h"
#include "support/TempDir.h"
#include "app/Form1.h"

#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <signal.h>

using namespace tavrel;
using namespace tavrel::testing;

namespace {

// A modem that also keeps every text the program hands to it.
class RecordingModem : public PskModem {
public:
    using PskModem::PskModem;
    void SendText(const std::string& text) override {
        sent += text;
        PskModem::SendText(text);
    }
    std::string sent;
};

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

// The whole program on the loop: Answer and End QSO go out, and a second station copies exactly
// the program's texts (each over closed by the identification).
TEST_F(OnAirTest, TheProgramsAnswerAndSignOffAreCopiedExactlyByAnotherStation) {
    TempDir dir;
    SettingsList s = defaultSettings();
    s[0] = "G4ABC";
    s[2] = "Bob";
    ASSERT_EQ(writeSettings(dir.path / "tavrel.ini", s), std::nullopt);
    RecordingModem modem;
    FakeSerial comm2;
    Form1 form(dir.path, modem, comm2);
    Startup startup(form);
    startup.startup();
    form.show();
    ASSERT_TRUE(runUntil([&] { return modem.audioStatus().startsWith("Sound:"); }, 5000))
        << modem.audioStatus().toStdString();

    PskModem station;
    ModemLog heard(station), program(modem);
    setUpReceiver(station, 1200, 0); // the program starts on 1200 Hz, its transmitter follows (Net)
    openSound(station);
    runFor(600); // the first status events re-apply the settings

    form.entry->hiscall->setText("dl1xyz");
    QTest::mousePress(form.qso->answer, Qt::LeftButton);
    const std::string answer = "\r\nDL1XYZ   DL1XYZ   de   G4ABC   G4ABC   G4ABC   \r\nkkk\r\n";
    EXPECT_EQ(modem.sent, answer);
    ASSERT_TRUE(runUntil([&] { return program.backToReceive(); }, 60000));
    const std::string id = " de G4ABC*"; // a word of its own after the over
    ASSERT_TRUE(runUntil([&] { return heard.chars == answer + id; }, 3000)) << heard.chars;
    // The other station's squelch closes before the next over. (With a gap of a few hundred ms its
    // decoder can still turn the end of one over and the start of the next into a stray letter.)
    runFor(1500);

    QTest::mousePress(form.qso->endqb, Qt::LeftButton);
    ASSERT_TRUE(runUntil([&] { return program.states.size() >= 4 && program.states.back() == 0; }, 120000));
    // The tail was queued on the echo while the sign-off was still going out: one over.
    EXPECT_EQ(program.states, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_TRUE(modem.sent.ends_with("73   ====\r\n\r\n")) << modem.sent;
    EXPECT_NE(modem.sent.find("73 and good DX  de   G4ABC\r\n"), std::string::npos);
    const std::string signOff = modem.sent.substr(answer.size());
    const std::string expected = answer + id + signOff + id;
    runUntil([&] { return heard.chars == expected; }, 3000);
    EXPECT_EQ(heard.chars, expected);
    // What went out is what the program's own receive window showed as the echo.
    EXPECT_EQ(program.chars.substr(0, answer.size()), answer);
    // And the contact was logged once the over had ended.
    EXPECT_NE(readFile(dir.path / "zizoro.tan").find("DL1XYZ"), std::string::npos);
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
