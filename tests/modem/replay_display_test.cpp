// The engine's receive-side parts without threads or sound: the replay history and the display feed.

#include "PskAudio.h"
#include "modem/audio/DisplayFeed.h"
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

TEST(ReplayHistoryTest, ReplaysOversSeparatedByDigitalSilenceWithTheAfcOn) {
    // A sound card fed nothing between overs gives exact zeros: the AFC must not wander meanwhile.
    std::vector<float> audio;
    for (const char* over : {"first over\r\n", "second", " third"}) {
        appendOver(audio, over, 1200.0);
        audio.insert(audio.end(), 8000 * 3 + 333, 0.0f);
    }
    ReplayHistory replay;
    replay.record(audio.data(), audio.size());
    ASSERT_TRUE(
        replay.start(99, {.squelchThreshold = 50, .squelchSpeed = 0, .afcLimit = 50, .frequency = 1200.0}));
    EXPECT_EQ(replayAll(replay), "first over\r\nsecond third");
}

TEST(ReplayHistoryTest, ReplaysOnlyTheLastSecondsAskedForAndLiveTextFollows) {
    // At the mode and frequency given (QPSK on the lower sideband at 1500 Hz).
    std::vector<float> audio = pskAudio("old news", 1500.0, 2);
    audio.insert(audio.end(), 8000 * 8, 0.0f);
    const ReplaySettings s{.mode = 2, .frequency = 1500.0};
    for (const auto& [seconds, found] : {std::pair{5, false}, std::pair{99, true}}) {
        SCOPED_TRACE(seconds);
        ReplayHistory replay;
        EXPECT_FALSE(replay.start(10, s)); // nothing recorded yet
        replay.record(audio.data(), audio.size());
        EXPECT_FALSE(replay.start(0, s));
        ASSERT_TRUE(replay.start(seconds, s));
        EXPECT_FALSE(replay.start(seconds, s)); // one at a time
        const uint8_t live[] = {'l', 'i', 'v', 'e'};
        replay.holdLive(live, sizeof live);
        const std::string out = replayAll(replay);
        EXPECT_EQ(out.find("old news") != std::string::npos, found) << out;
        EXPECT_TRUE(out.ends_with("live")) << out;
    }
}

class DisplayFeedTest : public ::testing::Test {
protected:
    // Feeds noise (or the given audio) a symbol at a time; lists the items sent.
    std::vector<DisplayFeed::Item> feed(DisplayFeed& f, std::size_t n, const float* audio = nullptr) {
        std::vector<float> in(n);
        std::normal_distribution<float> d(0.0f, 0.1f);
        for (std::size_t i = 0; i < n; ++i)
            in[i] = audio ? audio[i] : d(random);
        std::vector<DisplayFeed::Item> items;
        for (std::size_t at = 0; at < n; at += 256)
            if (const auto item = f.feed(in.data() + at, std::min<std::size_t>(256, n - at));
                item != DisplayFeed::Item::None)
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
        EXPECT_EQ(feed(f, 8000), std::vector<I>(3, item)); // ~15 made in a second
        f.taken();
        EXPECT_EQ(feed(f, 1024), std::vector<I>(1, item));
        EXPECT_TRUE(feed(f, 1024).empty());
    }
}

TEST_F(DisplayFeedTest, RawInputIsTheNewest512SamplesAndTheScopeComesOnANewSymbol) {
    DisplayFeed f(rx);
    f.setKind(2);
    std::vector<float> ramp(1024);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i);
    EXPECT_EQ(feed(f, 1024, ramp.data()).size(), 2u); // at 512 and 1024
    std::vector<float> raw;
    f.rawSamples(raw);
    EXPECT_EQ(raw, std::vector<float>(ramp.begin() + 512, ramp.end()));

    f.setKind(3);
    EXPECT_TRUE(feed(f, 4096).empty()); // the decoder has not moved
    const std::vector<float> audio = pskAudio("e", 1000.0);
    rx.process(audio.data(), 2048);
    EXPECT_EQ(feed(f, 4096), std::vector<DisplayFeed::Item>{DisplayFeed::Item::Phases});
}

TEST_F(DisplayFeedTest, FramesSpanTheRangeOrTheCarpetAroundTheReceiveFrequency) {
    rx.setFrequency(1200);
    DisplayFeed f(rx);
    f.setRange(300, 2700);
    f.setBins(5); // at least 16
    ASSERT_FALSE(feed(f, 1024).empty());
    EXPECT_EQ(f.frame().size(), 16u);
    EXPECT_EQ(f.frameLowHz(), 300.0);
    EXPECT_EQ(f.frameHighHz(), 2700.0);
    f.setKind(4);
    EXPECT_EQ(f.frameLowHz(), 1100.0);
    EXPECT_EQ(f.frameHighHz(), 1300.0);
    // A receiver the AFC moves a little stays in the picture; further off, the carpet follows; a
    // frequency the operator sets moves it at once.
    for (const auto& [hz, low, operatorSet] :
         {std::tuple{1220.0, 1100.0, false}, std::tuple{1230.0, 1130.0, false},
          std::tuple{1240.0, 1140.0, true}}) {
        rx.setFrequency(hz);
        if (operatorSet)
            f.rxMoved();
        else
            feed(f, 256);
        EXPECT_EQ(f.frameLowHz(), low) << hz;
    }
}

} // namespace
