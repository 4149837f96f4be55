// The over's rules without threads or sound: OverControl (the program's side) and OverSequencer
// (the audio thread's side) wired back to back, the audio made a symbol at a time, and the sound
// device's delay played by holding back the count of played samples.

#include "modem/audio/OverControl.h"
#include "modem/audio/OverSequencer.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tavrel;

namespace {

constexpr std::size_t kSymbol = 256;
constexpr int kSymbolsPerSecond = 8000 / kSymbol;

struct Station : OverControl::Host {
    OverSequencer engine;
    OverControl control{*this};
    std::deque<EngineCommand> toEngine;
    uint64_t lag = 0;         // samples the sound device holds before they are played
    bool holdReports = false; // the engine's reports wait (still on their way to the UI thread)
    std::vector<OverEvent> held;

    // What the program sees.
    std::string chars;
    std::vector<int> pendingAtChar;
    std::vector<int> states;
    std::vector<std::size_t> charsAtState;
    std::vector<bool> pttAtState;
    bool ptt = false;
    int pttChanges = 0;
    uint64_t soundAfterAbort = 0; // samples with signal made after the last abortTx()
    bool aborted = false;
    std::function<void(uint8_t)> onEcho;

    void post(const EngineCommand& c) override { toEngine.push_back(c); }
    void keyPtt(bool on) override {
        pttChanges += ptt != on;
        ptt = on;
    }
    void echo(uint8_t code) override {
        chars.push_back(static_cast<char>(code));
        pendingAtChar.push_back(control.pending());
        if (onEcho) onEcho(code);
    }

    void sendText(const std::string& text) { control.sendText(text); }
    void startTx(int mode) {
        if (control.startTx(mode)) state(1);
    }
    void endTx() { control.endTx(); }
    void abortTx() {
        aborted = true;
        soundAfterAbort = 0;
        if (control.abortTx()) state(0);
    }
    void state(int s) {
        states.push_back(s);
        charsAtState.push_back(chars.size());
        pttAtState.push_back(ptt);
    }

    // One step of the audio thread: its commands, one symbol of audio, its reports.
    void step() {
        for (; !toEngine.empty(); toEngine.pop_front())
            engine.apply(toEngine.front());
        float block[kSymbol];
        engine.generate(block, kSymbol);
        for (float v : block)
            soundAfterAbort += aborted && v != 0.0f;
        const uint64_t made = engine.generated();
        engine.advance(made - std::min(made, lag));
        held.insert(held.end(), engine.events().begin(), engine.events().end());
        engine.events().clear();
        if (!holdReports) deliver();
    }
    void deliver() {
        std::vector<OverEvent> now;
        now.swap(held);
        for (const OverEvent& e : now) {
            if (e.kind == OverEvent::Kind::Char) {
                const char code = static_cast<char>(e.code), counted = e.counted ? 1 : 0;
                control.airChars(e.over, std::string_view(&code, 1), std::string_view(&counted, 1));
            } else if (control.overFinished(e.over, e.textSeq)) {
                state(0);
            }
        }
    }
    bool runUntil(const std::function<bool()>& done, int seconds = 60) {
        for (int i = 0; i < seconds * kSymbolsPerSecond && !done(); ++i)
            step();
        return done();
    }
    void runFor(int seconds) {
        runUntil([] { return false; }, seconds);
    }
    bool backToReceive() const { return states.size() >= 2 && states.back() == 0; }
};

TEST(OverTest, AnOverSendsTheQueueThenTheIdentificationAndCountsOnlyTheQueue) {
    struct Case {
        std::string id;
        std::string text;
        int pendingAfterSend;
        std::string onAir;
        std::vector<int> pendingAtChar;
    };
    const Case cases[] = {
        {"", "CQ de G4ABC", 11, "CQ de G4ABC", {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {"de G4ABC*", "TU", 2, "TU de G4ABC*", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {" de G4ABC", "k", 1, "k de G4ABC", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // no second blank
        {"", "caf\xe9", 4, "cafe", {3, 2, 1, 0}},                            // an ASCII stand-in
        {"",
         "a\x81"
         "b",
         2,
         "ab",
         {1, 0}}, // a byte with none is left out
        {"", "\r\n\r\n", 4, "\r\n\r\n", {3, 2, 1, 0}},
        {"", "", 0, "", {}},
        {"", std::string(100, 'x'), 100, std::string(100, 'x'), {}}, // more than one command's worth
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id + "|" + c.text.substr(0, 12));
        Station s;
        s.control.setIdText(c.id);
        s.sendText(c.text);
        EXPECT_EQ(s.control.pending(), c.pendingAfterSend); // before the engine has seen it
        s.startTx(0);
        EXPECT_TRUE(s.ptt); // keyed before the first sample
        s.endTx();
        ASSERT_TRUE(s.runUntil([&] { return s.backToReceive(); }));
        EXPECT_EQ(s.chars, c.onAir);
        if (!c.pendingAtChar.empty()) {
            EXPECT_EQ(s.pendingAtChar, c.pendingAtChar);
        }
        EXPECT_EQ(s.states, (std::vector<int>{1, 0}));
        EXPECT_EQ(s.charsAtState.back(), c.onAir.size()); // the end comes after the last character
        EXPECT_EQ(s.pttAtState.back(), false);            // PTT is down when the program hears of it
        EXPECT_EQ(s.control.pending(), 0);
    }
}

TEST(OverTest, EchoesAndTheEndWaitForTheSoundDeviceToPlayThem) {
    Station s;
    s.lag = 8000; // a second in the device's buffer
    s.sendText("73");
    s.startTx(0);
    s.endTx();
    // Both characters have gone to the device, neither has been played.
    ASSERT_TRUE(s.runUntil([&] { return s.engine.transmitter().pending() == 0; }));
    EXPECT_TRUE(s.chars.empty());
    EXPECT_EQ(s.control.pending(), 2);
    ASSERT_TRUE(s.runUntil([&] { return s.engine.transmitter().state() == psk31::TxState::Finished; }));
    EXPECT_FALSE(s.backToReceive());
    EXPECT_TRUE(s.ptt);
    const uint64_t silentFrom = s.engine.generated();
    ASSERT_TRUE(s.runUntil([&] { return s.backToReceive(); }));
    EXPECT_GE(s.engine.generated(), silentFrom + s.lag - kSymbol);
    EXPECT_EQ(s.chars, "73");
}

TEST(OverTest, KeyingAgainWhileTransmittingChangesNothingAndKeepsThePendingEnd) {
    Station s;
    s.sendText("TU");
    s.startTx(0);
    s.endTx();
    s.startTx(0); // e.g. the program's keep-keyed step on every echo
    s.startTx(4);
    EXPECT_EQ(s.control.txState(), 1);
    EXPECT_EQ(s.control.over(), 1u);
    ASSERT_TRUE(s.runUntil([&] { return s.backToReceive(); }));
    EXPECT_EQ(s.chars, "TU");
    EXPECT_EQ(s.states, (std::vector<int>{1, 0}));
    EXPECT_EQ(s.pttChanges, 2);
}

TEST(OverTest, TextQueuedBeforeTheOverHasEndedGoesOutInThatOverWithTheIdentificationLast) {
    // Three moments text can join an ending over: on an echo while the queue still runs (the held
    // sign-off); after the transmitter has finished but before the engine reported the end (it is
    // still playing); after the engine reported the end but before the program heard of it.
    enum class When { OnEcho, WhilePlaying, ReportUnderway };
    struct Case {
        const char* name;
        When when;
        std::string onAir;
    };
    const Case cases[] = {
        {"on an echo", When::OnEcho, "ABCD de X"},
        {"while the end is still playing", When::WhilePlaying, "AB de XCD de X"},
        {"while the end report is underway", When::ReportUnderway, "AB de XCD de X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Station s;
        s.lag = 2000;
        s.control.setIdText("de X");
        if (c.when == When::OnEcho)
            s.onEcho = [&](uint8_t code) {
                if (code == 'A') s.sendText("CD"); // B is still to go out
            };
        s.sendText("AB");
        s.startTx(0);
        s.endTx();
        if (c.when == When::WhilePlaying) {
            ASSERT_TRUE(
                s.runUntil([&] { return s.engine.transmitter().state() == psk31::TxState::Finished; }));
            ASSERT_TRUE(s.engine.onAir());
            s.sendText("CD");
        } else if (c.when == When::ReportUnderway) {
            s.holdReports = true;
            ASSERT_TRUE(s.runUntil(
                [&] { return !s.held.empty() && s.held.back().kind == OverEvent::Kind::Finished; }));
            s.sendText("CD");
            s.holdReports = false;
        }
        ASSERT_TRUE(s.runUntil([&] { return s.backToReceive(); }));
        EXPECT_EQ(s.chars, c.onAir);
        EXPECT_EQ(s.states, (std::vector<int>{1, 0}));
        EXPECT_EQ(s.control.pending(), 0);
    }
}

TEST(OverTest, WithoutEndTxTheOverStaysOnWithIdleReversals) {
    Station s;
    s.startTx(0);
    s.sendText("HI");
    s.runFor(10);
    EXPECT_EQ(s.chars, "HI");
    EXPECT_EQ(s.states, (std::vector<int>{1}));
    EXPECT_EQ(s.engine.transmitter().state(), psk31::TxState::Transmitting);
    s.endTx();
    ASSERT_TRUE(s.runUntil([&] { return s.backToReceive(); }, 3));
    EXPECT_EQ(s.chars, "HI");
}

TEST(OverTest, AbortStopsAtOnceDropsTheQueueAndPttFollowsTheFade) {
    Station s;
    s.lag = 1000;
    s.control.setIdText("de X");
    s.sendText("The quick brown fox jumps over the lazy dog");
    s.startTx(0);
    s.endTx();
    ASSERT_TRUE(s.runUntil([&] { return s.chars.size() >= 3; }));
    s.abortTx();
    EXPECT_EQ(s.control.pending(), 0);
    EXPECT_EQ(s.control.txState(), 0);
    EXPECT_EQ(s.states, (std::vector<int>{1, 0}));
    EXPECT_TRUE(s.ptt); // the fade is still to be played
    const std::string sent = s.chars;
    ASSERT_TRUE(s.runUntil([&] { return !s.ptt; }, 2));
    EXPECT_LE(s.soundAfterAbort, static_cast<uint64_t>(psk31::Transmitter::kAbortFadeSamples));
    s.runFor(1);
    EXPECT_EQ(s.chars, sent); // nothing more, the identification neither
    s.abortTx();              // already receiving: no second event
    EXPECT_EQ(s.states.size(), 2u);

    // The next over starts clean.
    s.sendText("OK");
    s.startTx(0);
    s.endTx();
    ASSERT_TRUE(s.runUntil([&] { return s.states.size() == 4; }));
    EXPECT_EQ(s.chars.substr(sent.size()), "OK de X");
    EXPECT_EQ(s.states, (std::vector<int>{1, 0, 1, 0}));
}

TEST(OverTest, AnOverStartedDuringTheAbortFadeWaitsForItAndEndsNormally) {
    Station s;
    s.sendText("a text the abort cuts short");
    s.startTx(0);
    ASSERT_TRUE(s.runUntil([&] { return !s.chars.empty(); }));
    s.abortTx();
    s.sendText("OK");
    s.startTx(0); // before the engine has played the fade
    s.endTx();
    EXPECT_TRUE(s.ptt);
    ASSERT_TRUE(s.runUntil([&] { return s.states.size() == 4; }));
    EXPECT_EQ(s.chars.substr(1), "OK");
    EXPECT_EQ(s.states, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_FALSE(s.ptt);
}

TEST(OverTest, TuneIsACarrierUntilEndTxAndKeepsTheQueue) {
    Station s;
    s.control.setIdText("de X");
    s.startTx(4);
    s.sendText("LATER");
    s.runFor(3);
    EXPECT_EQ(s.states, (std::vector<int>{1}));
    EXPECT_EQ(s.engine.transmitter().state(), psk31::TxState::Transmitting);
    s.endTx();
    ASSERT_TRUE(s.runUntil([&] { return s.backToReceive(); }, 1));
    EXPECT_TRUE(s.chars.empty()); // neither the queue nor the identification
    EXPECT_EQ(s.control.pending(), 5);

    // The kept queue goes out in the next over.
    s.startTx(0);
    s.endTx();
    ASSERT_TRUE(s.runUntil([&] { return s.states.size() == 4; }));
    EXPECT_EQ(s.chars, "LATER de X");
}

TEST(OverTest, ReportsOfAnOlderOverChangeNothing) {
    Station s;
    s.sendText("AB");
    s.startTx(0);
    const uint32_t over = s.control.over();
    const char counted = 1;
    s.control.airChars(over - 1, "X", std::string_view(&counted, 1));
    EXPECT_FALSE(s.control.overFinished(over - 1, 1));
    EXPECT_EQ(s.chars, "");
    EXPECT_EQ(s.control.pending(), 2);
    EXPECT_EQ(s.control.txState(), 1);
    EXPECT_TRUE(s.ptt);
}

TEST(OverTest, AFreshEngineAfterAHangEndsTheOverAndTheNextOverEndsWithoutText) {
    Station s;
    s.sendText("lost");
    s.startTx(0);
    s.runFor(1);
    // The engine hung: a new one takes over, knowing nothing.
    s.engine = OverSequencer();
    s.toEngine.clear();
    s.held.clear();
    ASSERT_TRUE(s.control.engineReplaced());
    s.state(0);
    EXPECT_FALSE(s.ptt);
    EXPECT_EQ(s.control.pending(), 0);
    EXPECT_EQ(s.control.txState(), 0);

    // An over with nothing queued (a tune-up with reversals, say) still ends once asked.
    s.startTx(0);
    s.endTx();
    ASSERT_TRUE(s.runUntil([&] { return s.states.size() == 4; }, 10));
    EXPECT_EQ(s.states, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_FALSE(s.ptt);
}

} // namespace
