// The real modem component on its null source: the transmit queue and state rules, the echo,
// TxPending, PTT, the receive path, muting and replay. The null source runs faster than real time
// here; the sound card itself is tested over a PulseAudio loop (onair_test.cpp).

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

TEST_F(PskModemTest, StatusArrivesAboutTenTimesASecondWithTheReceiveFrequency) {
    PskModem modem; // real-time pacing is the default
    QSignalSpy status(&modem, &Modem::StatusRdy);
    modem.setRxFreq(1500);
    modem.StartModem(-1, 0);
    modem.StartModem(-1, 0); // a re-apply starts nothing twice
    runFor(1050);
    EXPECT_GE(status.count(), 8);
    EXPECT_LE(status.count(), 13);
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.first().at(0).toInt(), 1500);
    EXPECT_EQ(status.last().at(0).toInt(), 1500);
    EXPECT_TRUE(modem.usingNullSource());
}

TEST_F(PskModemTest, AnOverSendsTheQueueEchoingEachCharacterAsItGoesOnTheAir) {
    PskModem modem(fast());
    ModemLog log(modem);
    modem.StartModem(-1, 0);
    const std::string text = "CQ de G4ABC\r\n";
    modem.SendText(text);
    EXPECT_EQ(modem.TxPending(), 13); // right after SendText, before the audio thread saw it
    modem.StartTx(0);
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(log.chars, text);
    // Each echo leaves one fewer character pending, down to none at the last.
    ASSERT_EQ(log.pendingAtChar.size(), text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(log.pendingAtChar[i], static_cast<int>(text.size() - 1 - i)) << "at character " << i;
    EXPECT_EQ(log.states, (std::vector<int>{1, 0}));
    EXPECT_EQ(log.charsAtState.back(), text.size()); // the over ends after its last character
    EXPECT_EQ(modem.TxPending(), 0);
    EXPECT_EQ(modem.txState(), 0);
}

TEST_F(PskModemTest, KeyingAgainWhileTransmittingChangesNothingAndKeepsThePendingEnd) {
    PskModem modem(fast());
    ModemLog log(modem);
    modem.StartModem(-1, 0);
    modem.SendText("TU");
    modem.StartTx(0);
    modem.EndTx();
    modem.StartTx(0); // e.g. RxCharRdy's keep-keyed step
    modem.StartTx(4);
    EXPECT_EQ(modem.txState(), 1);
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(log.chars, "TU");
    EXPECT_EQ(log.states, (std::vector<int>{1, 0}));
}

TEST_F(PskModemTest, TextQueuedBeforeTheOverHasEndedGoesOutInThatOver) {
    // Two ways text joins an ending over: on an echo while the queue still runs (the held
    // sign-off), and from the status clock once the queue is empty (typed text handed over), which
    // can fall into the postamble.
    struct Case {
        const char* name;
        bool onEcho;
    };
    for (const Case c : {Case{"on an echo", true}, Case{"when the queue is empty", false}}) {
        SCOPED_TRACE(c.name);
        // Slow enough for the status clock to see the queue empty before the over ends.
        PskModem modem(fast({}, 2.0));
        ModemLog log(modem);
        bool added = false;
        QObject::connect(&modem, &Modem::RxCharRdy, [&](int code, int) {
            if (c.onEcho && !added && code == 'B') {
                added = true;
                modem.SendText("CD");
            }
        });
        QObject::connect(&modem, &Modem::StatusRdy, [&](int, int) {
            if (!c.onEcho && !added && modem.txState() == 1 && modem.TxPending() == 0 && log.chars == "AB") {
                added = true;
                modem.SendText("CD");
            }
        });
        modem.StartModem(-1, 0);
        modem.SendText("AB");
        modem.StartTx(0);
        modem.EndTx();
        ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 20000));
        EXPECT_TRUE(added);
        EXPECT_EQ(log.chars, "ABCD");
        EXPECT_EQ(log.states, (std::vector<int>{1, 0}));
        EXPECT_EQ(modem.TxPending(), 0);
    }
}

TEST_F(PskModemTest, WithoutEndTxTheOverStaysOnWithIdleReversals) {
    PskModem modem(fast());
    ModemLog log(modem);
    modem.StartModem(-1, 0);
    modem.StartTx(0);
    modem.SendText("HI");
    ASSERT_TRUE(runUntil([&] { return log.chars == "HI"; }, 10000));
    runFor(600); // ~10 s on the air
    EXPECT_EQ(log.states, (std::vector<int>{1}));
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 10000));
    EXPECT_EQ(log.chars, "HI");
}

TEST_F(PskModemTest, AbortStopsAtOnceAndDropsTheQueue) {
    PskModem modem(fast());
    ModemLog log(modem);
    modem.StartModem(-1, 0);
    modem.SendText("The quick brown fox jumps over the lazy dog");
    modem.StartTx(0);
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.chars.size() >= 3; }, 10000));
    modem.AbortTx();
    EXPECT_EQ(modem.TxPending(), 0);
    EXPECT_EQ(modem.txState(), 0);
    const std::size_t sent = log.chars.size();
    runFor(500);
    EXPECT_EQ(log.states, (std::vector<int>{1, 0}));
    EXPECT_EQ(log.chars.size(), sent); // nothing more went out
    modem.AbortTx();                   // already receiving: no second event
    runFor(50);
    EXPECT_EQ(log.states.size(), 2u);

    // The next over starts clean.
    modem.SendText("OK");
    modem.StartTx(0);
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.states.size() == 4; }, 10000));
    EXPECT_EQ(log.chars.substr(sent), "OK");
}

TEST_F(PskModemTest, TuneIsACarrierUntilEndTxAndKeepsTheQueue) {
    PskModem modem(fast());
    ModemLog log(modem);
    modem.StartModem(-1, 0);
    modem.StartTx(4);
    modem.SendText("LATER");
    runFor(400);
    EXPECT_EQ(log.states, (std::vector<int>{1}));
    EXPECT_TRUE(log.chars.empty());
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 5000));
    EXPECT_TRUE(log.chars.empty());
    EXPECT_EQ(modem.TxPending(), 5);
}

TEST_F(PskModemTest, TheIdentificationGoesLastAndIsNotCounted) {
    PskModem modem(fast());
    ModemLog log(modem);
    modem.setIdText("de G4ABC*"); // as start-up sets it: a word of its own after the text
    modem.StartModem(-1, 0);
    modem.SendText("TU");
    modem.StartTx(0);
    modem.EndTx();
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(log.chars, "TU de G4ABC*");
    EXPECT_EQ(log.pendingAtChar, (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(modem.TxPending(), 0);
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
    using K = EngineCommand::Kind;
    std::map<K, int> told;
    for (const EngineCommand& c : modem.settingsCommands())
        told[c.kind] = c.a;
    const std::map<K, int> want = {{K::Mode, 2},         {K::SquelchThreshold, 70}, {K::SquelchSpeed, 0},
                                   {K::SearchRange, 25}, {K::Trim, -400},           {K::AfcLimit, 300},
                                   {K::Drive, 200}};
    for (const auto& [kind, value] : want)
        EXPECT_EQ(told[kind], value) << static_cast<int>(kind);
}

TEST_F(PskModemTest, TxPendingCountsWhatTheTransmitterWillSend) {
    struct Case {
        std::string text;
        int pending;
        std::string onAir;
    };
    const Case cases[] = {
        {"abc", 3, "abc"},
        {"caf\xe9", 4, "cafe"}, // a letter with an ASCII stand-in
        {"a\x81"
         "b",
         2, "ab"}, // a byte with none is left out
        {"\r\n\r\n", 4, "\r\n\r\n"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PskModem modem(fast());
        ModemLog log(modem);
        modem.StartModem(-1, 0);
        modem.SendText(c.text);
        EXPECT_EQ(modem.TxPending(), c.pending);
        modem.StartTx(0);
        modem.EndTx();
        ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
        EXPECT_EQ(log.chars, c.onAir);
        EXPECT_EQ(modem.TxPending(), 0);
    }
}

TEST_F(PskModemTest, PttIsKeyedBeforeTheOverAndDroppedAfterItsLastSample) {
    PttRecord ptt;
    PskModem::Options o = fast();
    o.pttFactory = [&] { return std::make_unique<RecordingPtt>(ptt); };
    PskModem modem(o);
    ModemLog log(modem);
    modem.SetPttPort("2", 3);
    ASSERT_EQ(ptt.events, (std::vector<std::string>{"open:/dev/ttyS1"}));
    EXPECT_FALSE(modem.pttKeyed());
    std::size_t charsWhenKeyed = 99, charsWhenDropped = 0;
    int stateWhenDropped = -1;
    modem.StartModem(-1, 0);
    modem.SendText("73");
    modem.StartTx(0);
    EXPECT_TRUE(modem.pttKeyed());
    charsWhenKeyed = log.chars.size();
    modem.EndTx();
    QObject::connect(&modem, &Modem::TxStateChg, [&](int s) {
        if (s == 0 && charsWhenDropped == 0) {
            charsWhenDropped = log.chars.size();
            stateWhenDropped = modem.pttKeyed() ? 1 : 0;
        }
    });
    ASSERT_TRUE(runUntil([&] { return log.backToReceive(); }, 15000));
    EXPECT_EQ(charsWhenKeyed, 0u);
    EXPECT_EQ(charsWhenDropped, 2u);
    EXPECT_EQ(stateWhenDropped, 0); // dropped by the time the program hears of the end
    EXPECT_EQ(ptt.events, (std::vector<std::string>{"open:/dev/ttyS1", "key:1:3", "key:0:3"}));

    // Port 0 gives the port up, with the lines low; a port that does not open keys nothing and
    // says so.
    modem.SetPttPort("0", 1);
    EXPECT_EQ(ptt.events.back(), "close");
    EXPECT_FALSE(modem.pttOpen());
    ptt.openFails = true;
    QSignalSpy problems(&modem, &PskModem::pttStatusChanged);
    modem.SetPttPort("1", 1);
    EXPECT_FALSE(modem.pttOpen());
    ASSERT_EQ(problems.count(), 1);
    EXPECT_TRUE(problems[0][0].toString().contains("/dev/ttyS0"));
    modem.StartTx(4);
    EXPECT_FALSE(modem.pttKeyed());
    modem.AbortTx();
}

// A USB adapter pulled out: the port has closed itself; the modem says so and lets it go, and the
// SetPttPort of the next settings re-apply opens it again.
TEST_F(PskModemTest, PttPortThatGoesAwayIsToldAndOpenedAgainByTheNextSetPttPort) {
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
    modem.setPttDevice("/dev/ttyUSB0", 3);
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
              (QStringList{"PTT port /dev/ttyUSB0 went away and has been closed; it is opened again when "
                           "the settings are next saved",
                           "PTT port /dev/ttyUSB0 cannot be opened: the transmitter is not keyed",
                           "PTT port /dev/ttyUSB0 is open again"}));
}

TEST_F(PskModemTest, PttLinesFollowTheLineSettingAndAnAbortDropsThemAfterTheFade) {
    for (int line : {1, 2, 3}) {
        SCOPED_TRACE(line);
        PttRecord ptt;
        PskModem::Options o = fast();
        o.pttFactory = [&] { return std::make_unique<RecordingPtt>(ptt); };
        PskModem modem(o);
        modem.setPttDevice("/dev/ttyUSB0", line);
        modem.StartModem(-1, 0);
        modem.SendText("a long text that the abort cuts short");
        modem.StartTx(0);
        modem.AbortTx();
        ASSERT_TRUE(runUntil([&] { return !modem.pttKeyed(); }, 5000));
        const std::string l = std::to_string(line);
        EXPECT_EQ(ptt.events, (std::vector<std::string>{"open:/dev/ttyUSB0", "key:1:" + l, "key:0:" + l}));
    }
}

TEST_F(PskModemTest, ReceivedTextArrivesWithTheFrequencyAndLevelInTheStatus) {
    struct Case {
        int mode;
        double hz;
    };
    for (const Case c : {Case{0, 1000.0}, Case{1, 1500.0}, Case{2, 700.0}}) {
        SCOPED_TRACE(c.mode);
        const std::string text = "CQ CQ CQ de G4ABC G4ABC pse k\r\n";
        PskModem modem(fast(pskAudio(text, c.hz, c.mode), 8.0));
        ModemLog log(modem);
        modem.setMode(c.mode);
        modem.setSquelchThreshold(50);
        modem.setAfcLimit(50);
        modem.setRxFreq(static_cast<int>(c.hz) + 6); // AFC pulls it in
        modem.StartModem(-1, 0);
        ASSERT_TRUE(runUntil([&] { return log.chars.find("pse k") != std::string::npos; }, 20000))
            << log.chars;
        // The first letter may go while the decoder locks on.
        EXPECT_NE(log.chars.find("Q de G4ABC G4ABC pse k"), std::string::npos) << log.chars;
        EXPECT_EQ(log.states.size(), 0u);
        ASSERT_FALSE(log.statusLevels.empty());
        EXPECT_GT(*std::max_element(log.statusLevels.begin(), log.statusLevels.end()), 70);
        EXPECT_NEAR(modem.RxFreq(), c.hz, 2.0);
    }
}

TEST_F(PskModemTest, TheBandReportsEveryStationBesideWhatTheMainReceiverCopies) {
    const std::string mine = "G4ABC de VK2ABC ur rst 599 k\r\n", other = "CQ CQ de DL1ABC DL1ABC pse k\r\n";
    std::vector<float> audio = pskAudio(mine, 800.0);
    const std::vector<float> second = pskAudio(other, 1400.0);
    audio.resize(std::max(audio.size(), second.size()), 0.0f);
    for (std::size_t i = 0; i < second.size(); ++i)
        audio[i] += second[i];
    PskModem modem(fast(audio, 4.0));
    ModemLog log(modem);
    std::map<int, std::string> band; // text by frequency, to the nearest 50 Hz
    QObject::connect(&modem, &Modem::BandRdy, [&](const std::vector<HeardSignal>& heard) {
        for (const HeardSignal& h : heard)
            band[(h.hz + 25) / 50 * 50] += h.text;
    });
    modem.SetDisplayRange(500, 2500);
    modem.setSquelchThreshold(50);
    modem.setRxFreq(800);
    modem.StartModem(-1, 0);
    ASSERT_TRUE(runUntil([&] { return band[1400].find("pse k") != std::string::npos; }, 20000)) << band[1400];
    EXPECT_NE(band[1400].find("de DL1ABC DL1ABC pse k"), std::string::npos) << band[1400];
    ASSERT_TRUE(runUntil([&] { return band[800].find("599 k") != std::string::npos; }, 10000)) << band[800];
    ASSERT_TRUE(runUntil([&] { return log.chars.find("599 k") != std::string::npos; }, 10000)) << log.chars;
    EXPECT_EQ(log.chars.find("DL1ABC"), std::string::npos) << log.chars;
}

TEST_F(PskModemTest, OversSeparatedByDigitalSilenceAreAllCopiedWithAfcOn) {
    // A sound card fed nothing between overs gives exact zeros; the AFC must not wander meanwhile.
    std::vector<float> audio;
    for (const char* over : {"first over\r\n", "second", " third"}) {
        psk31::Transmitter tx;
        tx.setFrequency(1200);
        tx.setAmplitude(0.5f);
        tx.queueText(over);
        tx.start();
        tx.endWhenDrained();
        float block[256];
        while (tx.state() == psk31::TxState::Transmitting) {
            tx.generate(block, 256);
            audio.insert(audio.end(), block, block + 256);
        }
        audio.insert(audio.end(), 8000 * 3 + 333, 0.0f);
    }
    PskModem modem(fast(audio, 8.0));
    ModemLog log(modem);
    modem.setRxFreq(1200);
    modem.setAfcLimit(50);
    modem.setSquelchThreshold(50);
    modem.setSquelchSpeed(0);
    modem.StartModem(-1, 0);
    runUntil([&] { return log.chars.size() >= 24; }, static_cast<int>(audio.size() / 8 / 8) + 1000);
    EXPECT_EQ(log.chars, "first over\r\nsecond third");
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

TEST_F(PskModemTest, ReplayDecodesTheLastSecondsAgainAtTheNewFrequency) {
    const std::string text = "missed before tuning\r\n";
    const std::vector<float> audio = pskAudio(text, 1000.0);
    PskModem modem(fast(audio, 8.0));
    ModemLog log(modem);
    modem.setSquelchThreshold(50); // as start-up sets it
    modem.setRxFreq(2000);         // nowhere near the signal
    modem.StartModem(-1, 0);
    runFor(static_cast<int>(audio.size() / 8 / 8) + 300);
    EXPECT_EQ(log.chars.find("missed"), std::string::npos) << log.chars;
    modem.setRxFreq(1000);
    modem.Replay(99);
    ASSERT_TRUE(runUntil([&] { return log.chars.find("tuning") != std::string::npos; }, 10000)) << log.chars;
    EXPECT_NE(log.chars.find("missed before tuning"), std::string::npos) << log.chars;
}

TEST_F(PskModemTest, ImdIsReportedOnTheIdleOfAStrongSignal) {
    // Five seconds of idle reversals after a short text: enough for readings.
    std::vector<float> audio;
    {
        psk31::Transmitter tx;
        tx.setFrequency(1000);
        tx.setAmplitude(0.5f);
        tx.queueText("x");
        tx.start();
        audio.resize(8000 * 6);
        tx.generate(audio.data(), audio.size());
    }
    PskModem modem(fast(audio, 8.0));
    ModemLog log(modem);
    modem.setRxFreq(1000);
    modem.StartModem(-1, 0);
    ASSERT_TRUE(runUntil([&] { return !log.imd.empty(); }, 5000));
    EXPECT_LT(log.imd.front(), -25); // our own transmitter is clean
}

} // namespace
