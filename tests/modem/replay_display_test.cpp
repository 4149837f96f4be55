// The engine's receive-side parts without threads or sound: the replay history, the display feed
// and the ring both keep their audio in.

#include "PskAudio.h"
#include "modem/audio/DisplayFeed.h"
#include "modem/audio/HistoryRing.h"
#include "modem/audio/ReplayHistory.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace tavrel;
using namespace tavrel::testing;

namespace {

std::string replayAll(ReplayHistory& replay) {
    std::string out;
    for (int i = 0; i < 1000 && replay.running(); ++i)
        replay.run(out);
    return out;
}

TEST(HistoryRingTest, KeepsTheNewestItemsNumberedInTheOrderTheyCame) {
    struct Case {
        int pushed;
        uint64_t begin;
    };
    for (const Case c : {Case{0, 0}, Case{3, 0}, Case{4, 0}, Case{5, 1}, Case{11, 7}}) {
        SCOPED_TRACE(c.pushed);
        HistoryRing<int> ring(4);
        for (int i = 0; i < c.pushed; ++i)
            ring.push(i);
        EXPECT_EQ(ring.begin(), c.begin);
        EXPECT_EQ(ring.end(), static_cast<uint64_t>(c.pushed));
        EXPECT_EQ(ring.size(), static_cast<std::size_t>(c.pushed) - c.begin);
        for (uint64_t n = ring.begin(); n < ring.end(); ++n)
            EXPECT_EQ(ring.at(n), static_cast<int>(n));
    }
}

TEST(ReplayHistoryTest, ReplaysOversSeparatedByDigitalSilenceWithTheAfcOn) {
    // A sound card fed nothing between overs gives exact zeros: the AFC must not wander meanwhile.
    std::vector<float> audio;
    for (const char* over : {"first over\r\n", "second", " third"}) {
        appendOver(audio, over, 1200.0);
        audio.insert(audio.end(), 8000 * 3 + 333, 0.0f);
    }
    ReplayHistory replay;
    replay.record(audio.data(), audio.size());
    ReplaySettings s;
    s.frequency = 1200.0;
    s.afcLimit = 50;
    s.squelchThreshold = 50;
    s.squelchSpeed = 0;
    ASSERT_TRUE(replay.start(99, s));
    EXPECT_EQ(replayAll(replay), "first over\r\nsecond third");
}

TEST(ReplayHistoryTest, ReplaysOnlyTheLastSecondsAskedForAndLiveTextFollows) {
    // At the mode and frequency given (QPSK on the lower sideband), not the live decoder's.
    std::vector<float> audio = pskAudio("old news", 1500.0, 2);
    audio.insert(audio.end(), 8000 * 8, 0.0f);
    ReplaySettings s;
    s.mode = 2;
    s.frequency = 1500.0;
    struct Case {
        int seconds;
        bool found;
    };
    for (const Case c : {Case{5, false}, Case{99, true}}) {
        SCOPED_TRACE(c.seconds);
        ReplayHistory replay;
        EXPECT_FALSE(replay.start(10, s)); // nothing recorded yet
        replay.record(audio.data(), audio.size());
        EXPECT_FALSE(replay.start(0, s));
        ASSERT_TRUE(replay.start(c.seconds, s));
        EXPECT_FALSE(replay.start(c.seconds, s)); // one at a time
        const uint8_t live[] = {'l', 'i', 'v', 'e'};
        replay.holdLive(live, sizeof live);
        const std::string out = replayAll(replay);
        EXPECT_EQ(out.find("old news") != std::string::npos, c.found) << out;
        EXPECT_TRUE(out.ends_with("live")) << out;
        EXPECT_FALSE(replay.running());
    }
}

class DisplayFeedTest : public ::testing::Test {
protected:
    std::vector<float> noise(std::size_t n) {
        std::normal_distribution<float> d(0.0f, 0.1f);
        std::vector<float> v(n);
        for (float& x : v)
            x = d(random);
        return v;
    }
    // Feeds n samples a symbol at a time and lists the items sent.
    std::vector<DisplayFeed::Item> feed(DisplayFeed& f, const std::vector<float>& in) {
        std::vector<DisplayFeed::Item> items;
        for (std::size_t at = 0; at < in.size(); at += 256)
            if (const auto item = f.feed(in.data() + at, 256); item != DisplayFeed::Item::None)
                items.push_back(item);
        return items;
    }
    std::mt19937 random{7};
    psk31::Receiver rx;
};

TEST_F(DisplayFeedTest, AtMostThreeItemsWaitToBeDrawnAndTheRestAreDropped) {
    using I = DisplayFeed::Item;
    for (const auto& [kind, item] : {std::pair{1, I::Spectrum}, std::pair{2, I::Raw}}) {
        SCOPED_TRACE(kind);
        DisplayFeed f(rx);
        f.setKind(kind);
        EXPECT_EQ(feed(f, noise(8000)), std::vector<I>(3, item)); // ~15 made in a second
        f.taken();
        EXPECT_EQ(feed(f, noise(1024)), std::vector<I>(1, item));
        EXPECT_TRUE(feed(f, noise(1024)).empty());
    }
}

TEST_F(DisplayFeedTest, RawInputIsTheNewest512SamplesInOrderEvery512) {
    DisplayFeed f(rx);
    f.setKind(2);
    std::vector<float> ramp(1024);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i);
    EXPECT_EQ(f.feed(ramp.data(), 256), DisplayFeed::Item::None);
    EXPECT_EQ(f.feed(ramp.data() + 256, 256), DisplayFeed::Item::Raw);
    EXPECT_EQ(f.feed(ramp.data() + 512, 256), DisplayFeed::Item::None);
    EXPECT_EQ(f.feed(ramp.data() + 768, 256), DisplayFeed::Item::Raw);
    std::vector<float> raw;
    f.rawSamples(raw);
    EXPECT_EQ(raw, std::vector<float>(ramp.begin() + 512, ramp.end()));
}

TEST_F(DisplayFeedTest, TheScopeIsSentOnlyWhenTheDecoderHasANewSymbol) {
    DisplayFeed f(rx);
    f.setKind(3);
    EXPECT_TRUE(feed(f, noise(4096)).empty()); // the decoder has not moved
    const std::vector<float> audio = pskAudio("e", 1000.0);
    rx.process(audio.data(), 2048);
    EXPECT_EQ(feed(f, noise(4096)), std::vector<DisplayFeed::Item>{DisplayFeed::Item::Phases});
}

TEST_F(DisplayFeedTest, FramesSpanTheRangeOrTheCarpetAroundTheReceiveFrequency) {
    rx.setFrequency(1200);
    DisplayFeed f(rx);
    f.setRange(300, 2700);
    f.setBins(5); // at least 16
    ASSERT_FALSE(feed(f, noise(1024)).empty());
    EXPECT_EQ(f.frame().size(), 16u);
    EXPECT_DOUBLE_EQ(f.frameLowHz(), 300.0);
    EXPECT_DOUBLE_EQ(f.frameHighHz(), 2700.0);
    f.setBins(600);
    f.setKind(4);
    EXPECT_DOUBLE_EQ(f.frameLowHz(), 1100.0);
    EXPECT_DOUBLE_EQ(f.frameHighHz(), 1300.0);
    EXPECT_EQ(f.frame().size(), 600u);
    // A receiver the AFC moves a little stays in the picture; further off, the carpet follows.
    rx.setFrequency(1220);
    f.feed(noise(256).data(), 256);
    EXPECT_DOUBLE_EQ(f.frameLowHz(), 1100.0);
    rx.setFrequency(1230);
    f.feed(noise(256).data(), 256);
    EXPECT_DOUBLE_EQ(f.frameLowHz(), 1130.0);
    // A frequency the operator sets moves it at once.
    rx.setFrequency(1240);
    f.rxMoved();
    EXPECT_DOUBLE_EQ(f.frameHighHz(), 1340.0);
}

} // namespace
