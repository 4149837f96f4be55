// The over's rules without threads or sound: OverControl (the program's side) and OverSequencer
// (the audio thread's side) back to back, the audio made a symbol at a time, and the sound device
// holding back the last `lag` samples before they count as played.

#include "modem/audio/OverControl.h"
#include "modem/audio/OverSequencer.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace tavrel;

namespace {

constexpr psk31::TxState kFinished = psk31::TxState::Finished;

struct Station : OverControl::Host {
    OverSequencer engine;
    OverControl control{*this};
    std::deque<EngineCommand> toEngine;
    std::vector<OverEvent> toProgram; // reports on their way to the UI thread
    uint64_t lag = 1000;
    bool holdReports = false;
    // What the program saw.
    std::string chars;
    std::vector<int> pendingAtChar, states;
    bool ptt = false, pttAtEnd = true;
    int pttChanges = 0;
    std::size_t soundSinceAbort = 0;
    uint64_t silentAt = 0, endAt = 0; // samples made when the transmitter fell silent, when the end came
    char sendOnEcho = 0;              // "CD" is sent when this character is echoed

    void post(const EngineCommand& c) override { toEngine.push_back(c); }
    void keyPtt(bool on) override { pttChanges += std::exchange(ptt, on) != on; }
    void echo(uint8_t code) override {
        chars.push_back(static_cast<char>(code));
        pendingAtChar.push_back(control.pending());
        if (code == sendOnEcho) control.sendText("CD");
    }
    void start(int mode = 0) {
        if (control.startTx(mode)) states.push_back(1);
    }
    void abort() {
        soundSinceAbort = 0;
        if (control.abortTx()) states.push_back(0);
    }
    void step() {
        for (; !toEngine.empty(); toEngine.pop_front())
            engine.apply(toEngine.front());
        float block[256];
        engine.generate(block, 256);
        soundSinceAbort +=
            static_cast<std::size_t>(std::count_if(block, block + 256, [](float v) { return v; }));
        if (engine.transmitter().state() != kFinished) silentAt = engine.generated();
        engine.advance(engine.generated() - std::min(engine.generated(), lag));
        toProgram.insert(toProgram.end(), engine.events().begin(), engine.events().end());
        engine.events().clear();
        if (holdReports) return;
        for (const OverEvent& e : std::exchange(toProgram, {})) {
            const char code = static_cast<char>(e.code), counted = e.counted;
            if (e.kind == OverEvent::Kind::Char)
                control.airChars(e.over, {&code, 1}, {&counted, 1});
            else if (control.overFinished(e.over, e.textSeq))
                states.push_back(0), pttAtEnd = ptt, endAt = engine.generated();
        }
    }
    bool runUntil(const std::function<bool()>& done, int seconds = 60) {
        for (int i = 0; i < seconds * 8000 / 256 && !done(); ++i)
            step();
        return done();
    }
    bool overs(std::size_t n) {
        return runUntil([&] { return states.size() == 2 * n && states.back() == 0; });
    }
};

TEST(OverTest, AnOverSendsTheQueueThenTheIdentificationAndCountsOnlyTheQueue) {
    struct Case {
        std::string id, text;
        int pendingAfterSend;
        std::string onAir;
        std::vector<int> pendingAtChar;
    };
    const Case cases[] = {
        {"", "CQ de G4ABC", 11, "CQ de G4ABC", {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {"de G4ABC*", "TU", 2, "TU de G4ABC*", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {" de G4ABC", "k", 1, "k de G4ABC", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // no second blank
        {"", "caf\xe9", 4, "cafe", {3, 2, 1, 0}},                            // an ASCII stand-in
        {"", "a\x81z", 2, "az", {1, 0}},                                     // a byte with none
        {"", "", 0, "", {}},
        {"", std::string(100, 'x'), 100, std::string(100, 'x'), {}}, // several commands' worth
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id + "|" + c.text.substr(0, 12));
        Station s;
        s.control.setIdText("G0OLD"); // every settings re-apply sets it again
        s.control.setIdText(c.id);
        s.control.sendText(c.text);
        EXPECT_EQ(s.control.pending(), c.pendingAfterSend); // before the engine has seen it
        s.start();
        EXPECT_TRUE(s.ptt); // keyed before the first sample
        s.control.endTx();
        s.start(); // keying again while transmitting changes nothing and keeps the end
        s.start(4);
        ASSERT_TRUE(s.overs(1));
        EXPECT_EQ(s.chars, c.onAir);
        if (!c.pendingAtChar.empty()) {
            EXPECT_EQ(s.pendingAtChar, c.pendingAtChar);
        }
        EXPECT_FALSE(s.pttAtEnd); // down when the program hears of the end
        EXPECT_EQ(s.pttChanges, 2);
        EXPECT_EQ(s.control.pending(), 0);
        EXPECT_GE(s.endAt, s.silentAt + s.lag); // the end waited until the last sample had played
    }
}

TEST(OverTest, TextQueuedBeforeTheOverHasEndedGoesOutInThatOverWithTheIdentificationLast) {
    // On an echo while the queue still runs (the held sign-off); after the transmitter finished
    // but before the end was played; after the engine reported the end, before the program heard.
    enum When { OnEcho, WhilePlaying, ReportUnderway };
    for (const auto& [when, onAir] :
         {std::pair{OnEcho, "ABCD de X"}, std::pair{WhilePlaying, "AB de XCD de X"},
          std::pair{ReportUnderway, "AB de XCD de X"}}) {
        SCOPED_TRACE(when);
        Station s;
        s.control.setIdText("de X");
        if (when == OnEcho) s.sendOnEcho = 'A'; // B is still to go
        s.control.sendText("AB");
        s.start();
        s.control.endTx();
        s.holdReports = when == ReportUnderway;
        if (when == WhilePlaying) {
            ASSERT_TRUE(s.runUntil([&] { return s.engine.transmitter().state() == kFinished; }));
            ASSERT_TRUE(s.engine.onAir());
        } else if (when == ReportUnderway) {
            ASSERT_TRUE(s.runUntil([&] { return !s.toProgram.empty() && !s.engine.onAir(); }));
        }
        if (when != OnEcho) s.control.sendText("CD");
        s.holdReports = false;
        ASSERT_TRUE(s.overs(1));
        EXPECT_EQ(s.chars, onAir);
        EXPECT_EQ(s.control.pending(), 0);
    }
}

TEST(OverTest, TheOverStaysOnUntilEndTxAndTuneKeepsTheQueueForTheNext) {
    Station s;
    s.control.setIdText("de X");
    s.start(4);
    s.control.sendText("HI");
    s.runUntil([] { return false; }, 5);
    EXPECT_EQ(s.engine.transmitter().state(), psk31::TxState::Transmitting);
    s.control.endTx();
    ASSERT_TRUE(s.overs(1));
    EXPECT_EQ(s.chars, ""); // neither the queue nor the identification after a tune
    EXPECT_EQ(s.control.pending(), 2);
    s.start();
    s.runUntil([] { return false; }, 10); // idle reversals
    EXPECT_EQ(s.chars, "HI");
    EXPECT_EQ(s.states, (std::vector<int>{1, 0, 1}));
    s.control.endTx();
    ASSERT_TRUE(s.overs(2));
    EXPECT_EQ(s.chars, "HI de X");
}

TEST(OverTest, AbortStopsAtOnceDropsTheQueueAndPttWaitsForTheFade) {
    for (const bool restartDuringFade : {false, true}) {
        SCOPED_TRACE(restartDuringFade);
        Station s;
        s.control.setIdText("de X");
        s.control.sendText("The quick brown fox jumps over the lazy dog");
        s.start();
        s.control.endTx();
        ASSERT_TRUE(s.runUntil([&] { return s.chars.size() == 3; }));
        s.abort();
        EXPECT_EQ(s.control.pending(), 0);
        EXPECT_EQ(s.states, (std::vector<int>{1, 0}));
        EXPECT_TRUE(s.ptt); // the fade is still to be played
        if (!restartDuringFade) {
            ASSERT_TRUE(s.runUntil([&] { return !s.ptt; }, 1));
            EXPECT_LE(s.soundSinceAbort, static_cast<std::size_t>(psk31::Transmitter::kAbortFadeSamples));
            s.runUntil([] { return false; }, 1);
            EXPECT_EQ(s.chars, "The"); // nothing more, the identification neither
            s.abort();                 // already receiving: no second event
        }
        s.control.sendText("OK");
        s.start();
        s.control.endTx();
        ASSERT_TRUE(s.overs(2));
        EXPECT_EQ(s.chars, "TheOK de X");
        EXPECT_FALSE(s.ptt);
    }
}

TEST(OverTest, DriveSetsTheCarriersPeakWithHeadroomAtFullDrive) {
    for (const auto& [drive, peak] : {std::pair{0, 0.0f}, std::pair{127, 0.448f}, std::pair{255, 0.9f},
                                      std::pair{999, 0.9f}, std::pair{-5, 0.0f}}) {
        SCOPED_TRACE(drive);
        OverSequencer engine;
        engine.apply(engineCommand(EngineCommand::Kind::Drive, drive));
        engine.apply(engineCommand(EngineCommand::Kind::Tune, 1));
        std::vector<float> carrier(2048);
        engine.generate(carrier.data(), carrier.size());
        const auto [low, high] = std::minmax_element(carrier.begin() + 1024, carrier.end());
        EXPECT_NEAR(*high, peak, 0.002f);
        EXPECT_NEAR(*low, -peak, 0.002f);
    }
}

TEST(OverTest, ReportsOfAnOlderOverChangeNothing) {
    Station s;
    s.control.sendText("AB");
    s.start();
    const char counted = 1;
    s.control.airChars(s.control.over() - 1, "X", {&counted, 1});
    EXPECT_FALSE(s.control.overFinished(s.control.over() - 1, 1));
    EXPECT_EQ(s.chars, "");
    EXPECT_EQ(s.control.pending(), 2);
    EXPECT_EQ(s.control.txState(), 1);
}

TEST(OverTest, AFreshEngineAfterAHangEndsTheOverAndTheNextOverWithoutTextEnds) {
    Station s;
    s.control.sendText("lost");
    s.start();
    s.runUntil([] { return false; }, 1);
    s.engine = OverSequencer(); // the old one hung; the new one knows nothing
    s.toEngine.clear();
    ASSERT_TRUE(s.control.engineReplaced());
    EXPECT_FALSE(s.ptt);
    EXPECT_EQ(s.control.pending(), 0);
    EXPECT_EQ(s.control.txState(), 0);
    s.states.push_back(0);
    s.start();
    s.control.endTx();
    ASSERT_TRUE(s.overs(2));
}

} // namespace
