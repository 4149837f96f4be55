#include "modem/psk31/HfChannel.h"
#include "modem/psk31/SignalKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace tavrel::psk31;

namespace {

struct RoundTrip {
    const char* name;
    Mode mode;
    double snrDb;
    double offsetHz;
    int afcLimit;
};

std::string roundTrip(const std::string& text, const RoundTrip& c, uint32_t seed) {
    kit::Channel ch;
    ch.snrDb = c.snrDb;
    ch.offsetHz = c.offsetHz;
    ch.seed = seed;
    std::vector<float> audio = kit::transmit(text, c.mode, 1200.0, ch, 0, 0);
    kit::addNoise(audio, ch);
    kit::RxSetup rx;
    rx.mode = c.mode;
    rx.hz = 1200.0;
    rx.afcLimit = c.afcLimit;
    rx.squelch = 20; // keeps the few symbols before the decoder settles out of the text
    return kit::receive(audio, rx);
}

} // namespace

TEST(Receiver, AllAsciiCodesSurviveTheRoundTripInEveryMode) {
    std::string all;
    for (int c = 1; c < 128; ++c)
        all += static_cast<char>(c);
    all += '\0';
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb, Mode::QpskLsb}) {
        EXPECT_EQ(roundTrip(all, {"clean", mode, 100.0, 0.0, 0}, 1), all) << int(mode);
    }
}

TEST(Receiver, RandomTextThroughNoiseAndOffsetsDecodesExactly) {
    const RoundTrip cases[] = {
        {"bpsk -6 dB", Mode::Bpsk, -6.0, 0.0, 0},
        {"qpsk usb -8 dB", Mode::QpskUsb, -8.0, 0.0, 0},
        {"qpsk lsb -8 dB", Mode::QpskLsb, -8.0, 0.0, 0},
        {"bpsk 3 Hz off, no afc", Mode::Bpsk, -3.0, 3.0, 0},
        {"bpsk 10 Hz off, afc", Mode::Bpsk, -3.0, 10.0, 50},
        {"qpsk -12 Hz off, afc", Mode::QpskUsb, -3.0, -12.0, 50},
    };
    uint32_t seed = 100;
    for (const RoundTrip& c : cases) {
        const std::string text = kit::englishText(120, ++seed);
        if (c.offsetHz == 0.0) {
            EXPECT_EQ(roundTrip(text, c, seed), text) << c.name;
            continue;
        }
        // Off frequency the first second goes into settling: a little padding before the text,
        // which may come out garbled, and nothing else.
        const std::string got = roundTrip("....." + text, c, seed);
        ASSERT_GE(got.size(), text.size()) << c.name;
        EXPECT_EQ(got.substr(got.size() - text.size()), text) << c.name;
        EXPECT_LE(got.size(), text.size() + 6) << c.name;
    }
}

TEST(Receiver, LowerSidebandNeedsTheLowerSidebandDecoder) {
    const std::string text = "CQ CQ de TEST TEST pse k";
    kit::Channel ch;
    const std::vector<float> lsb = kit::transmit(text, Mode::QpskLsb, 1000.0, ch);
    kit::RxSetup rx;
    rx.hz = 1000.0;
    rx.squelch = 20;
    rx.mode = Mode::QpskLsb;
    EXPECT_EQ(kit::receive(lsb, rx), text);
    rx.mode = Mode::QpskUsb;
    EXPECT_NE(kit::receive(lsb, rx).find("TEST"), 0u); // garbled: the quarter turns run backwards
    EXPECT_EQ(kit::receive(lsb, rx).find("CQ CQ de TEST"), std::string::npos);
}

TEST(Receiver, TextSentInBurstsWithIdleBetweenDecodesExactly) {
    Transmitter tx;
    tx.setFrequency(800.0);
    tx.start();
    std::vector<float> audio;
    const std::string parts[] = {"first ", "second line\r\n", "third"};
    for (const std::string& part : parts) {
        tx.queueText(part);
        while (tx.pending() > 0) {
            float b[256];
            tx.generate(b, 256);
            audio.insert(audio.end(), b, b + 256);
        }
        std::vector<float> idle(3 * 8000);
        tx.generate(idle.data(), idle.size()); // seconds of reversals between the parts
        audio.insert(audio.end(), idle.begin(), idle.end());
    }
    kit::RxSetup rx;
    rx.hz = 800.0;
    rx.squelch = 20;
    EXPECT_EQ(kit::receive(audio, rx), "first second line\r\nthird");
}

TEST(Receiver, ChunkSizeDoesNotChangeTheResult) {
    const std::string text = kit::englishText(40, 3);
    kit::Channel ch;
    ch.snrDb = -4.0;
    std::vector<float> audio = kit::transmit(text, Mode::QpskUsb, 1000.0, ch, 3000);
    kit::addNoise(audio, ch);
    std::string reference;
    for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{256}, std::size_t{100000}}) {
        Receiver rx;
        rx.setMode(Mode::QpskUsb);
        rx.setAfcLimit(50);
        rx.setFrequency(1000.0);
        std::string got;
        uint8_t buf[64];
        for (std::size_t i = 0; i < audio.size(); i += chunk) {
            rx.process(audio.data() + i, std::min(chunk, audio.size() - i));
            for (std::size_t n; (n = rx.readText(buf, sizeof buf)) > 0;)
                got.append(buf, buf + n);
        }
        if (reference.empty()) reference = got;
        EXPECT_EQ(got, reference) << chunk;
        EXPECT_NE(got.find(text.substr(0, 20)), std::string::npos) << chunk;
    }
}

TEST(Receiver, SignalLevelIsLowOnNoiseAndRisesWithSnr) {
    const std::string text = kit::englishText(60, 9);
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        std::vector<double> levels;
        for (double snr : {-200.0, -16.0, -13.0, -9.0, 20.0}) {
            kit::Channel ch;
            ch.snrDb = snr < -100 ? 0.0 : snr;
            ch.seed = 5;
            std::vector<float> audio = kit::transmit(text, mode, 1000.0, ch, 0, 0);
            const std::vector<float> clean = audio;
            kit::addNoise(audio, ch);
            if (snr < -100)
                for (std::size_t i = 0; i < audio.size(); ++i)
                    audio[i] -= clean[i]; // the noise alone
            Receiver rx;
            rx.setMode(mode);
            rx.setFrequency(1000.0);
            double sum = 0;
            int count = 0;
            for (std::size_t i = 0; i + 256 <= audio.size(); i += 256) {
                rx.process(audio.data() + i, 256);
                if (i > 3 * 8000) {
                    sum += rx.signalLevel();
                    ++count;
                }
            }
            levels.push_back(sum / count);
        }
        EXPECT_LT(levels[0], 12.0) << int(mode);
        EXPECT_NEAR(levels[2], 50.0, 8.0) << int(mode); // the squelch's start-up setting: copy still useful
        for (std::size_t i = 1; i < levels.size(); ++i)
            EXPECT_GT(levels[i], levels[i - 1]) << int(mode) << " " << i;
        EXPECT_GT(levels.back(), 90.0) << int(mode);
    }
}

TEST(Receiver, SquelchGatesTheNoiseAndOpensOnASignal) {
    kit::Channel ch;
    ch.snrDb = 0.0;
    std::vector<float> audio = kit::transmit("hello hello", Mode::Bpsk, 1000.0, ch, 8000 * 4);
    kit::addNoise(audio, ch);
    const std::vector<float> noise(audio.begin(), audio.begin() + 8000 * 4);
    kit::RxSetup rx;
    rx.hz = 1000.0;
    rx.squelch = 0;
    EXPECT_FALSE(kit::receive(noise, rx).empty()); // noise decodes to garbage when open
    rx.squelch = 50;
    EXPECT_EQ(kit::receive(noise, rx), "");
    EXPECT_EQ(kit::receive(audio, rx), "hello hello");
    // The noise after a signal: a few symbols of it read clean now and then, which must not keep
    // the squelch open once the level has fallen.
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        kit::Channel after{10.0, 0.0, 0.0, seed};
        std::vector<float> over = kit::transmit("hello hello", Mode::Bpsk, 1000.0, after, 0, 8000 * 10);
        kit::addNoise(over, after);
        const std::string got = kit::receive(over, rx);
        EXPECT_EQ(got.substr(0, 11), "hello hello") << seed;
        EXPECT_LE(got.size(), 14u) << seed << ": " << got;
    }
}

TEST(Receiver, AfcPullsInWithinItsLimitOnly) {
    struct Case {
        Mode mode;
        double offsetHz, snrDb;
        int limit;
    };
    const Case cases[] = {{Mode::Bpsk, 12.0, 0.0, 0},
                          {Mode::Bpsk, 12.0, 0.0, 5},
                          {Mode::Bpsk, 12.0, 0.0, 50},
                          {Mode::QpskUsb, 10.0, -8.0, 50},
                          {Mode::QpskUsb, -10.0, -8.0, 50}};
    for (const Case& c : cases) {
        kit::Channel ch;
        ch.offsetHz = c.offsetHz;
        ch.snrDb = c.snrDb;
        std::vector<float> audio = kit::transmit(kit::englishText(30, 4), c.mode, 1000.0, ch);
        kit::addNoise(audio, ch);
        Receiver rx;
        rx.setMode(c.mode);
        rx.setAfcLimit(c.limit);
        rx.setFrequency(1000.0);
        double furthest = 0.0, afterTwoSeconds = 0.0;
        for (std::size_t i = 0; i + 256 <= audio.size(); i += 256) {
            rx.process(audio.data() + i, 256);
            furthest = std::max(furthest, std::abs(rx.frequency() - 1000.0));
            // Locked within two seconds of the signal's start, and staying there.
            if (i + 256 >= 2 * 8000)
                afterTwoSeconds = std::max(afterTwoSeconds, std::abs(rx.frequency() - 1000.0 - c.offsetHz));
        }
        EXPECT_LE(furthest, c.limit + 1e-9) << c.limit;
        if (c.limit == 50) {
            EXPECT_LT(afterTwoSeconds, 1.0) << int(c.mode) << " " << c.offsetHz;
        }
    }
}

TEST(Receiver, StaysOnItsStationBesideAStrongNeighbour) {
    // The wanted station at +3 dB, clicked on exactly; a BPSK31 station 20 dB stronger beside it,
    // on the air before it or coming later.
    const struct {
        Mode mode;
        double neighbourHz;
        bool first;
    } cases[] = {{Mode::Bpsk, 63.0, true},
                 {Mode::Bpsk, -50.0, false},
                 {Mode::QpskUsb, 50.0, true},
                 {Mode::QpskUsb, -63.0, false}};
    const std::string text = kit::englishText(150, 21);
    for (const auto& c : cases) {
        const std::vector<float> wanted = kit::transmit(text, c.mode, 1000.0, {}, 0, 0);
        const double power = kit::meanPower(wanted);
        const std::size_t start = c.first ? 3 * 8000 : 8000;
        std::vector<float> audio(start, 0.0f);
        audio.insert(audio.end(), wanted.begin(), wanted.end());
        const std::size_t end = audio.size();
        const std::vector<float> other =
            kit::transmit(kit::englishText(300, 22), Mode::Bpsk, 1000.0 + c.neighbourHz);
        sim::mixIn(audio, other, c.first ? 0 : static_cast<long>(start + 5 * 8000),
                   std::sqrt(100.0 * power / kit::meanPower(other)));
        sim::addWhiteNoise(audio, power, 3.0, 8000.0, 23);
        Receiver rx;
        rx.setMode(c.mode);
        rx.setAfcLimit(50);
        rx.setFrequency(1000.0);
        std::string got;
        double furthest = 0.0;
        uint8_t buf[256];
        for (std::size_t i = 0; i + 256 <= end; i += 256) {
            rx.process(audio.data() + i, 256);
            for (std::size_t n; (n = rx.readText(buf, sizeof buf)) > 0;)
                if (i >= start + 8000) got.append(buf, buf + n); // after the preamble
            if (i >= start) furthest = std::max(furthest, std::abs(rx.frequency() - 1000.0));
        }
        EXPECT_LE(kit::editDistance(text, got), 2u) << int(c.mode) << " " << c.neighbourHz;
        EXPECT_LT(furthest, 3.0) << int(c.mode) << " " << c.neighbourHz;
    }
}

TEST(Receiver, FadingLeavesNoErrorFloor) {
    // Watterson fading at +20 dB: a phase reference that lags the channel's phase errs in every
    // deep fade, however strong the signal.
    const struct {
        Mode mode;
        sim::FadingProfile profile;
    } cases[] = {{Mode::Bpsk, sim::kCcirModerate}, {Mode::QpskUsb, sim::kCcirPoor}};
    const std::string text = kit::englishText(600, 31);
    for (const auto& c : cases) {
        const std::vector<float> clean = kit::transmit(text, c.mode, 1000.0, {}, 0, 0);
        std::vector<float> audio = sim::watterson(clean, c.profile, 8000.0, 32);
        sim::addWhiteNoise(audio, kit::meanPower(clean), 20.0, 8000.0, 33);
        kit::RxSetup rx;
        rx.mode = c.mode;
        rx.afcLimit = 50;
        EXPECT_LE(kit::editDistance(text, kit::receive(audio, rx)), 6u) << c.profile.name;
    }
}

TEST(Receiver, SearchSnapsToTheNearestSignalWithinRange) {
    // A weak station at 1030 Hz and one 20 dB stronger at 960 Hz.
    kit::Channel ch;
    ch.snrDb = 5.0;
    std::vector<float> audio = kit::transmit(std::string(20, 'e'), Mode::Bpsk, 1030.0, ch);
    const std::vector<float> strong = kit::transmit(kit::englishText(40, 8), Mode::Bpsk, 960.0);
    for (std::size_t i = 0; i < audio.size() && i < strong.size(); ++i)
        audio[i] += 10.0f * strong[i];
    kit::addNoise(audio, ch);
    const struct {
        double click;
        int range;
        double expected, within;
    } cases[] = {
        {1000.0, 50, 1030.0, 1.0}, // the nearer, not the stronger
        {970.0, 50, 960.0, 1.0},
        {1000.0, 10, 1000.0, 0.0}, // both out of reach: stays on the click, not on a skirt
        {1010.0, 15, 1010.0, 0.0},
    };
    for (const auto& c : cases) {
        Receiver rx;
        rx.process(audio.data(), 3 * 8000);
        rx.setSearchRange(c.range);
        rx.setFrequency(c.click);
        EXPECT_NEAR(rx.frequency(), c.expected, c.within) << c.click << " " << c.range;
    }
    Receiver rx;
    rx.setSearchRange(0);
    rx.setFrequency(1234.0);
    EXPECT_EQ(rx.frequency(), 1234.0);
}

TEST(Receiver, MatchingClockTrimOnBothEndsStillDecodes) {
    const std::string text = "trim test 73";
    Transmitter tx;
    tx.setTrim(800);
    tx.setFrequency(1000.0);
    tx.queueText(text);
    tx.start();
    tx.endWhenDrained();
    std::vector<float> audio;
    float b[512];
    while (tx.state() == TxState::Transmitting) {
        tx.generate(b, 512);
        audio.insert(audio.end(), b, b + 512);
    }
    Receiver rx;
    rx.setTrim(800);
    kit::RxSetup setup;
    setup.squelch = 20;
    EXPECT_EQ(kit::receive(audio, setup, rx), text);
}

TEST(Receiver, SquelchSpeedSetsHowLongTheLevelHoldsAfterASignalEnds) {
    kit::Channel ch;
    ch.snrDb = 10.0;
    std::vector<float> audio = kit::transmit("level hold", Mode::Bpsk, 1000.0, ch, 0, 4 * 8000);
    kit::addNoise(audio, ch); // noise carries on after the signal
    const std::size_t end = audio.size() - 4 * 8000;
    const auto levelAfter = [&](int speed, double seconds) {
        Receiver rx;
        rx.setSquelchSpeed(speed);
        rx.setFrequency(1000.0);
        const std::size_t upTo = end + static_cast<std::size_t>(seconds * 8000);
        for (std::size_t i = 0; i < upTo; i += 200)
            rx.process(audio.data() + i, std::min<std::size_t>(200, upTo - i));
        return rx.signalLevel();
    };
    // 0 fast (0.25 s), 1 slow (1 s), else the value in 10 ms steps, clamped to 10..200.
    EXPECT_LT(levelAfter(0, 0.8), levelAfter(1, 0.8) - 20);
    EXPECT_LT(levelAfter(10, 0.8), levelAfter(200, 0.8) - 30);
    EXPECT_EQ(levelAfter(5, 0.8), levelAfter(10, 0.8));
    EXPECT_EQ(levelAfter(100, 0.8), levelAfter(1, 0.8));
    EXPECT_LT(levelAfter(1, 3.5), 15);
}

TEST(Squelch, OpensOnCopyHoldsPoorCopyThroughAFadeAndDropsItAfterTheHang) {
    EXPECT_NEAR(Squelch::levelOf(0.30f), 50.0f, 1.0f); // the quality a -13 dB signal reads
    Squelch sq;
    sq.setThreshold(50);
    sq.setSpeed(1);
    const auto symbols = [&](int n, float quality, uint8_t c, std::string* printed) {
        for (int i = 0; i < n; ++i) {
            sq.update(quality, quality);
            uint8_t held[Squelch::kHeldCapacity];
            const std::size_t k = sq.takeReleased(held, sizeof held);
            if (printed) printed->append(held, held + k);
            if (sq.admit(c) && printed) printed->push_back(static_cast<char>(c));
        }
    };
    std::string printed;
    symbols(40, 0.0f, '?', &printed); // noise
    symbols(20, 1.0f, 'a', &printed); // a signal: open once the level has risen
    const std::string signal = printed;
    EXPECT_EQ(signal.find_first_not_of('a'), std::string::npos);
    EXPECT_GE(signal.size(), 15u);
    symbols(31, 0.0f, 'b', &printed); // a one-second fade: held back
    EXPECT_EQ(printed, signal);
    symbols(1, 1.0f, 'c', &printed); // copy returns: the fade's characters follow, in order
    EXPECT_EQ(printed, signal + std::string(31, 'b') + "c");
    printed.clear();
    symbols(60, 0.0f, 'd', &printed); // the signal has gone: what came after it is dropped
    EXPECT_FALSE(sq.open());
    symbols(1, 0.0f, 'e', &printed);
    EXPECT_EQ(printed, "");
}

TEST(PhaseReference, AveragesLongOnASteadyChannelAndExtrapolatesAMovingOne) {
    std::mt19937 rng(5);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    PhaseReference steady, moving;
    std::complex<float> expected, got;
    for (int k = 0; k < 300; ++k) {
        steady.update({1.0f + noise(rng), noise(rng)}, {1.0f, 0.0f});
        // A fading channel passing close to zero along a straight line, without noise.
        const std::complex<float> h{0.05f, -1.0f + 0.01f * k};
        got = moving.predict();
        expected = h;
        moving.update(h, {1.0f, 0.0f});
    }
    EXPECT_GE(steady.bestMemory(1.0f), 0.8f);
    EXPECT_EQ(moving.bestMemory(1.0f), 0.0f);
    EXPECT_LT(std::abs(got - expected), 1e-3f);
}
