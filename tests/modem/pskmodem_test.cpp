// The real modem component on its null source, threads and all: that its parts are wired together
// (events arrive in order, PTT follows the over, received text, replay, IMD and muting reach the
// program, settings reach a fresh engine). The over's rules themselves are tested without threads
// (over_test.cpp); the sound card over a PulseAudio loop (onair_test.cpp).

#include "ModemTestSupport.h"
#include "modem/audio/ModemEngine.h"
#include "support/FormHarness.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>

using namespace tavrel;
using namespace tavrel::testing;

namespace {

constexpr double kFast = 16.0; // null-source speed for transmit tests

class PskModemTest : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }

    static PskModem::Options fast(std::vector<float> input = {}, double pace = kFast) {
        PskModem::Options o;
        o.nullSourcePace = pace;
        o.nullSourceInput = std::move(input);
        return o;
    }
};

// Every settings re-apply starts the modem again: a card still opening or working is left alone,
// one that failed is tried again.
TEST_F(PskModemTest, TheSameStartOpensTheCardOnceAndAFailedCardIsTriedAgain) {
    PskModem modem(fast());
    QSignalSpy told(&modem, &PskModem::audioStatusChanged);
    modem.StartModem(-1, 1);
    modem.StartModem(-1, 1);
    ASSERT_TRUE(runUntil([&] { return told.count() > 0; }, 5000));
    runFor(300);
    ASSERT_EQ(told.count(), 1);
    modem.StartModem(-1, 1);
    runFor(300);
    EXPECT_EQ(told.count(), modem.usingNullSource() ? 2 : 1) << modem.audioStatus().toStdString();
}

// A burst of commands larger than the engine's queue (slider moves before the sound starts) waits
// its turn: nothing after it is lost.
TEST_F(PskModemTest, CommandsBeyondTheEnginesQueueWaitTheirTurn) {
    PskModem modem(fast());
    ModemLog log(modem);
    for (int i = 0; i < 5000; ++i)
        modem.setSquelchThreshold(i % 100);
    modem.SendText("ok");
    modem.StartTx(0);
    modem.EndTx();
    modem.StartModem(-1, 0);
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(log.chars, "ok");
}

TEST_F(PskModemTest, OversKeyPttEchoTheirTextAndEndOrAbort) {
    PttRecord ptt;
    PskModem::Options o = fast();
    o.pttFactory = [&] { return std::make_unique<RecordingPtt>(ptt); };
    PskModem modem(o);
    ModemLog log(modem);
    modem.SetPttPort("2", 2);
    modem.setIdText("de G4ABC*");
    modem.StartModem(-1, 0);
    modem.SendText("TU");
    EXPECT_EQ(modem.TxPending(), 2); // right after SendText, before the audio thread saw it
    modem.StartTx(0);
    EXPECT_TRUE(modem.pttKeyed());
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(log.chars, "TU de G4ABC*");
    EXPECT_EQ(log.charsAtState, (std::vector<std::size_t>{0, 12}));

    // An abort is told at once; PTT drops once the fade has played.
    modem.SendText("a long text that the abort cuts short");
    modem.StartTx(0);
    ASSERT_TRUE(runUntil([&] { return log.chars.size() > 12; }, 10000));
    modem.AbortTx();
    EXPECT_EQ(modem.TxPending(), 0);
    EXPECT_TRUE(modem.pttKeyed());
    ASSERT_TRUE(runUntil([&] { return !modem.pttKeyed(); }, 5000));
    EXPECT_EQ(log.states, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(ptt.events,
              (std::vector<std::string>{"open:/dev/ttyS1", "key:1:2", "key:0:2", "key:1:2", "key:0:2"}));
}

TEST_F(PskModemTest, AFreshEngineIsToldEverySettingAsLastWritten) {
    // What a sound system that hung hands over to a new engine: mode, squelch, search range and
    // trim are kept like the rest.
    PskModem modem(fast());
    modem.setMode(2);
    modem.setSquelchThreshold(70);
    modem.setSquelchSpeed(0);
    modem.setSearchRange(25);
    modem.setTrimValue(-400);
    modem.setAfcLimit(300);
    modem.setAuxSetting(200);
    modem.SetDisplayRange(2040, 1990); // backwards and too narrow: repaired
    using K = EngineCommand::Kind;
    std::map<K, int> told;
    for (const EngineCommand& c : modem.settingsCommands())
        told[c.kind] = c.kind == K::DisplayRange ? c.a * 10000 + c.b : c.a; // low and high in one
    // clang-format off
    EXPECT_EQ(told, (std::map<K, int>{{K::RxFreq, 1200}, {K::TxFreq, 1200}, {K::Mode, 2},
                                      {K::SquelchThreshold, 70}, {K::SquelchSpeed, 0}, {K::AfcLimit, 300},
                                      {K::SearchRange, 25}, {K::Trim, -400}, {K::Drive, 200},
                                      {K::DisplayKind, 1}, {K::DisplayRange, 1990'2090}}));
    // clang-format on
}

// A port that does not open keys nothing and says so; a USB adapter pulled out has closed itself:
// the modem says so and lets it go, and the SetPttPort of the next settings re-apply opens it again.
// Port 0 gives the port up, with the lines low.
TEST_F(PskModemTest, PttPortTroubleIsToldAndTheNextSetPttPortOpensItAgain) {
    PttRecord ptt;
    PttPort* made = nullptr;
    PskModem::Options o = fast();
    o.pttFactory = [&] {
        auto port = std::make_unique<RecordingPtt>(ptt);
        made = port.get();
        return port;
    };
    PskModem modem(o);
    QStringList told;
    QObject::connect(&modem, &PskModem::pttStatusChanged, [&](const QString& text) { told << text; });
    ptt.openFails = true;
    modem.SetPttPort("1", 1);
    EXPECT_FALSE(modem.pttOpen());
    modem.StartTx(4);
    EXPECT_FALSE(modem.pttKeyed());
    ptt.openFails = false;
    modem.setPttDevice("/dev/ttyUSB0", 3); // opened during an over: keyed at once
    EXPECT_TRUE(modem.pttKeyed());
    modem.AbortTx(); // no engine running: nothing to fade, PTT drops at once
    EXPECT_FALSE(modem.pttKeyed());
    ASSERT_TRUE(made && made->onLost);
    made->onLost();
    ASSERT_TRUE(runUntil([&] { return !modem.pttOpen(); }, 2000));
    ptt.openFails = true;
    modem.setPttDevice("/dev/ttyUSB0", 3);
    ptt.openFails = false;
    modem.setPttDevice("/dev/ttyUSB0", 3);
    EXPECT_TRUE(modem.pttOpen());
    modem.setPttDevice("/dev/ttyUSB0", 3); // nothing more to tell once it is back
    EXPECT_EQ(told,
              (QStringList{"PTT port /dev/ttyS0 cannot be opened: the transmitter is not keyed",
                           "PTT port /dev/ttyUSB0 went away and has been closed; it is opened again when "
                           "the settings are next saved",
                           "PTT port /dev/ttyUSB0 cannot be opened: the transmitter is not keyed",
                           "PTT port /dev/ttyUSB0 is open again"}));
    modem.SetPttPort("0", 1);
    EXPECT_EQ(std::vector<std::string>(ptt.events.end() - 2, ptt.events.end()),
              (std::vector<std::string>{"key:0:3", "close"})); // given up with both lines low
    EXPECT_FALSE(modem.pttOpen());
}

// The main receiver copies a station (the AFC pulls it in), the band reports it, and the history
// decodes it again at the frequency set now. Two stations apart are the band decoder's own test.
TEST_F(PskModemTest, ReceivedTextBandStatusImdAndReplayReachTheProgram) {
    PskModem modem(fast(pskAudio("G4ABC de VK2ABC ur rst 599 k\r\n", 800.0, 0, 4), 4.0));
    ModemLog log(modem);
    std::map<int, std::string> band; // text by frequency, to the nearest 50 Hz
    QObject::connect(&modem, &Modem::BandRdy, [&](const std::vector<HeardSignal>& heard) {
        for (const HeardSignal& h : heard)
            band[(h.hz + 25) / 50 * 50] += h.text;
    });
    modem.SetDisplayRange(500, 2500);
    modem.setSquelchThreshold(50);
    modem.setAfcLimit(50);
    modem.setRxFreq(806);
    modem.StartModem(-1, 0);
    ASSERT_TRUE(runUntil([&] { return band[800].find("599 k") != std::string::npos; }, 20000)) << band[800];
    EXPECT_NE(band[800].find("de VK2ABC ur rst 599 k"), std::string::npos) << band[800];
    ASSERT_TRUE(runUntil([&] { return log.chars.find("599 k") != std::string::npos; }, 10000)) << log.chars;
    // The first letter may go while the decoder locks on.
    EXPECT_NE(log.chars.find("ABC de VK2ABC ur rst 599 k"), std::string::npos) << log.chars;
    EXPECT_TRUE(log.states.empty());
    ASSERT_FALSE(log.statusLevels.empty());
    EXPECT_GT(*std::max_element(log.statusLevels.begin(), log.statusLevels.end()), 70);
    EXPECT_NEAR(modem.RxFreq(), 800, 2);
    ASSERT_TRUE(runUntil([&] { return !log.imd.empty(); }, 5000)); // on the idle after the text
    EXPECT_LT(log.imd.front(), -25);                               // our own transmitter is clean

    const std::size_t live = log.chars.size();
    modem.Replay(99);
    ASSERT_TRUE(runUntil([&] { return log.chars.find("599 k", live) != std::string::npos; }, 10000))
        << log.chars;
    EXPECT_NE(log.chars.find("de VK2ABC ur rst 599 k", live), std::string::npos) << log.chars;
}

TEST_F(PskModemTest, DecodingIsMutedWhileTransmitting) {
    const std::string heard = "this must not be shown";
    PskModem modem(fast(pskAudio(heard, 1000.0), 8.0));
    ModemLog log(modem);
    modem.setRxFreq(1000);
    modem.StartModem(-1, 0);
    modem.StartTx(0); // idle reversals over the whole of the incoming signal
    modem.SendText("ours");
    runFor(static_cast<int>(pskAudio(heard, 1000.0).size() / 8 / 8) + 300);
    EXPECT_EQ(log.chars, "ours");
    modem.AbortTx();
}

} // namespace
