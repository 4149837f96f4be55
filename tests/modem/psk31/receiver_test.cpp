#include "modem/psk31/HfChannel.h"
#include "modem/psk31/SignalKit.h"

#include <gtest/gtest.h>

#include <numbers>
#include <random>

using namespace tavrel::psk31;

namespace {

constexpr double kHz = 1000.0;
constexpr std::size_t kLead = 2 * 8000; // noise alone before the station comes on

// A station on the air, heard by a receiver set to kHz with the start-up squelch of 50. One far
// under the noise is the noise alone: nothing of it may get through.
struct Air {
    const char* name;
    Mode mode;
    double snrDb, offsetHz;
    int afc;
    std::size_t maxErrors = 0;
    double level = -1.0; // the mean signal level it reads (within 8), or -1
    const sim::FadingProfile* fading = nullptr;
    double neighbourHz = 0.0, neighbourAtS = 0.0; // a BPSK station 20 dB stronger, from that second on
};

// Puts the station on the air and checks what the receiver makes of it.
void hear(const Air& a, uint32_t seed) {
    const std::string sent = kit::englishText(a.fading ? 600 : 150, seed);
    std::vector<float> audio = kit::transmit(sent, a.mode, kHz, {.offsetHz = a.offsetHz}, kLead, 0);
    const double power = kit::meanPower(audio);
    if (a.fading) audio = sim::watterson(audio, *a.fading, 8000.0, seed);
    if (a.neighbourHz != 0.0) {
        const auto other = kit::transmit(kit::englishText(400, seed), Mode::Bpsk, kHz + a.neighbourHz);
        sim::mixIn(audio, other, std::lround(a.neighbourAtS * 8000),
                   std::sqrt(100.0 * power / kit::meanPower(other)));
    }
    sim::addWhiteNoise(audio, power, a.snrDb, 8000.0, seed);
    double level = 0.0, furthest = 0.0, late = 0.0;
    int levels = 0;
    kit::RxSetup setup{.mode = a.mode, .hz = kHz, .afcLimit = a.afc, .squelch = 50};
    setup.watch = [&](std::size_t at, Receiver& rx) {
        const double off = rx.frequency() - kHz;
        furthest = std::max(furthest, std::abs(off));
        if (at < kLead + 2 * 8000) return; // the station has been on for two seconds
        late = std::max(late, std::abs(off - (a.afc ? a.offsetHz : 0.0)));
        level += rx.signalLevel();
        ++levels;
    };
    Receiver rx;
    const std::string got = kit::receive(audio, setup, rx);
    EXPECT_LE(kit::editDistance(a.snrDb > -50 ? sent : "", got), a.maxErrors) << a.name << ": " << got;
    EXPECT_NEAR(level / levels, a.level < 0 ? level / levels : a.level, 8.0) << a.name;
    EXPECT_LT(late, a.fading ? 2.0 : 1.0) << a.name;
    EXPECT_LE(furthest, a.afc + 1e-9) << a.name; // the AFC limit is a hard bound,
    rx.setAfcLimit(1);                           // and a lowered one applies at once
    EXPECT_LE(std::abs(rx.frequency() - kHz), 1.0) << a.name;
}

std::vector<double> imdReadings(const std::vector<float>& audio, double hz) {
    std::vector<double> out;
    kit::RxSetup setup{.hz = hz, .afcLimit = 50};
    setup.watch = [&](std::size_t, Receiver& rx) {
        if (auto imd = rx.takeImd()) out.push_back(*imd);
    };
    kit::receive(audio, setup);
    return out;
}

} // namespace

TEST(Receiver, CopiesThroughNoiseOffsetsFadingAndBesideAStrongNeighbour) {
    const sim::FadingProfile* const steady = nullptr;
    const Air cases[] = {
        {"bpsk -6 dB", Mode::Bpsk, -6, 0, 0},
        {"qpsk usb -8 dB", Mode::QpskUsb, -8, 0, 0},
        {"qpsk lsb -8 dB", Mode::QpskLsb, -8, 0, 0},
        {"bpsk 3 Hz off, no afc", Mode::Bpsk, -3, 3, 0, 1},
        {"bpsk 10 Hz off", Mode::Bpsk, -3, 10, 50, 1},
        {"qpsk 12 Hz below", Mode::QpskUsb, -3, -12, 50, 1},
        {"qpsk 10 Hz off at -8 dB", Mode::QpskUsb, -8, 10, 50, 1},
        // The level's scale: 50 (the start-up squelch) where copy is still useful.
        {"noise alone", Mode::Bpsk, -60, 0, 0, 0, 4},
        {"bpsk -13 dB", Mode::Bpsk, -13, 0, 0, 150, 50}, // (errors: any)
        {"qpsk -13 dB", Mode::QpskUsb, -13, 0, 0, 150, 50},
        {"bpsk +20 dB", Mode::Bpsk, 20, 0, 0, 0, 96},
        {"qpsk +20 dB", Mode::QpskUsb, 20, 0, 0, 0, 96},
        {"bpsk moderate fading", Mode::Bpsk, 20, 0, 50, 6, -1, &sim::kCcirModerate},
        {"qpsk poor fading", Mode::QpskUsb, 20, 0, 50, 6, -1, &sim::kCcirPoor},
        {"bpsk, neighbour there first", Mode::Bpsk, 3, 0, 50, 1, -1, steady, 63, 0},
        {"bpsk, neighbour comes later", Mode::Bpsk, 3, 0, 50, 1, -1, steady, -50, 7},
        {"qpsk, neighbour there first", Mode::QpskUsb, 3, 0, 50, 1, -1, steady, 50, 0},
        {"qpsk, neighbour comes later", Mode::QpskUsb, 3, 0, 50, 1, -1, steady, -63, 7},
    };
    uint32_t seed = 200;
    for (const Air& a : cases)
        hear(a, ++seed);
}

TEST(Receiver, ChunkSizeDoesNotChangeWhatIsDecoded) {
    std::vector<float> audio = kit::transmit("chunks of any size", Mode::QpskUsb, kHz, {}, 3000);
    sim::addWhiteNoise(audio, kit::meanPower(audio), -4.0, 8000.0, 1);
    kit::RxSetup rx{.mode = Mode::QpskUsb, .afcLimit = 50, .squelch = 20};
    for (std::size_t chunk : {1, 7, 256, 100000}) {
        rx.chunk = chunk;
        EXPECT_EQ(kit::receive(audio, rx), "chunks of any size") << chunk;
    }
    rx.mode = Mode::QpskLsb; // the quarter turns of the other sideband run backwards
    EXPECT_EQ(kit::receive(audio, rx).find("of any"), std::string::npos);
}

TEST(Receiver, SearchSnapsToTheNearestSignalWithinRange) {
    // A weak station at 1030 Hz and one 20 dB stronger at 960 Hz.
    std::vector<float> audio = kit::transmit(std::string(20, 'e'), Mode::Bpsk, 1030.0);
    sim::mixIn(audio, kit::transmit(kit::englishText(40, 8), Mode::Bpsk, 960.0), 0, 10.0);
    sim::addWhiteNoise(audio, kit::meanPower(audio), 5.0, 8000.0, 1);
    const double cases[][4] = {
        // click, range, where it lands, within
        {1000, 50, 1030, 1},                      // the nearer, not the stronger
        {970, 50, 960, 1},   {1000, 10, 1000, 0}, // both out of reach: stays on the click, not on a skirt
        {1010, 15, 1010, 0}, {1234, 0, 1234, 0},
    };
    for (const auto& c : cases) {
        Receiver rx;
        rx.process(audio.data(), 3 * 8000);
        rx.setSearchRange(static_cast<int>(c[1]));
        rx.setFrequency(c[0]);
        EXPECT_NEAR(rx.frequency(), c[2], c[3]) << c[0] << " " << c[1];
    }
}

TEST(Imd, ReadsKnownDistortionWithinOneDbOnAStrongIdleSignalOnly) {
    // Idle reversals as an explicit two-tone at 1500 +/- 15.625 Hz, with third-order products of a
    // known level at 1500 +/- 46.875 Hz, in white noise.
    const double cases[][3] = {{-12, 40, 1}, {-20, 40, 1}, {-26, 40, 1}, {-33, 40, 1}, {-25, 10, 0}};
    for (const auto& [imdDb, snrDb, reads] : cases) {
        const double a3 = 0.3 * std::pow(10.0, imdDb / 20.0), w = 2 * std::numbers::pi / kSampleRate;
        std::vector<float> x(6 * 8000);
        for (std::size_t i = 0; i < x.size(); ++i)
            for (const auto& [hz, a] : {std::pair{15.625, 0.3}, {-15.625, 0.3}, {46.875, a3}, {-46.875, a3}})
                x[i] += static_cast<float>(a * std::cos(w * (1500.0 + hz) * static_cast<double>(i)));
        sim::addWhiteNoise(x, 0.09, snrDb, 8000.0, 1);
        const std::vector<double> r = imdReadings(x, 1502.0);
        EXPECT_EQ(!r.empty(), reads > 0) << imdDb << " " << snrDb;
        for (double v : r)
            EXPECT_NEAR(v, imdDb, 1.0) << imdDb;
    }
    // Text without pauses: no run of reversals long enough to measure.
    std::vector<float> text = kit::transmit(kit::englishText(40, 2), Mode::Bpsk, 1000.0);
    text.erase(text.begin(), text.begin() + 36 * kSamplesPerSymbol); // skip the preamble
    sim::addWhiteNoise(text, kit::meanPower(text), 40.0, 8000.0, 1);
    EXPECT_TRUE(imdReadings(text, 1000.0).empty());
}

TEST(Squelch, HoldsPoorCopyThroughAFadeForTheHangTimeOnly) {
    EXPECT_NEAR(Squelch::levelOf(0.30f), 50.0f, 1.0f); // the quality a -13 dB signal reads
    // Noise, a signal, a fade of that many symbols, one good symbol; a character every other symbol.
    const auto copy = [](int speed, int fade) {
        Squelch sq;
        sq.setThreshold(50);
        sq.setSpeed(speed);
        std::string printed;
        for (const auto& [symbols, quality, c] :
             {std::tuple{40, 0.0f, '?'}, {40, 1.0f, 'a'}, {fade, 0.0f, 'b'}, {1, 1.0f, 'c'}})
            for (int i = 0; i < symbols; ++i) {
                sq.update(quality, quality);
                uint8_t held[Squelch::kHeldCapacity];
                printed.append(held, held + sq.takeReleased(held, sizeof held));
                if (i % 2 == 0 && sq.admit(c)) printed += c;
            }
        return printed;
    };
    const std::string signal = copy(1, 0); // opens once the level has risen
    ASSERT_GE(signal.size(), 15u);
    const std::string as = signal.substr(0, signal.size() - 1);
    EXPECT_EQ(signal, std::string(as.size(), 'a') + "c");
    // The fade's characters follow once copy returns within the hang time: 1.5 s (47 symbols), or
    // the squelch speed's time if longer (2 s, 63 at 200); a symbol later they are dropped.
    EXPECT_EQ(copy(1, 47), as + std::string(24, 'b') + "c");
    EXPECT_EQ(copy(1, 48), as);
    EXPECT_EQ(copy(200, 63), as + std::string(32, 'b') + "c");
    EXPECT_EQ(copy(200, 64), as + "c"); // the level, slow to fall, lets good copy in again at once
}

TEST(Squelch, SpeedSetsHowFastTheLevelFalls) {
    const auto levelAfter = [](int speed, int symbols) {
        Squelch sq;
        sq.setSpeed(speed);
        for (int i = 0; i < 40 + symbols; ++i)
            sq.update(i < 40 ? 1.0f : 0.0f, 0.0f);
        return sq.level();
    };
    EXPECT_NEAR(levelAfter(1, 31), 36.5f, 1.0f); // 1 s: down to 1/e
    // 0 fast (0.25 s), 1 slow (1 s), else the value in 10 ms steps, clamped to 10..200.
    for (const auto& [speed, same] : {std::pair{0, 25}, {1, 100}, {5, 10}, {-3, 10}, {300, 200}})
        EXPECT_EQ(levelAfter(speed, 20), levelAfter(same, 20)) << speed;
    EXPECT_LT(levelAfter(10, 20) + 30, levelAfter(200, 20));
}

TEST(PhaseReference, AveragesLongOnASteadyChannelAndExtrapolatesAMovingOne) {
    std::mt19937 rng(5);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    PhaseReference steady, moving;
    std::complex<float> expected, got;
    for (int k = 0; k < 300; ++k) {
        steady.update({1.0f + noise(rng), noise(rng)}, {1.0f, 0.0f});
        // A fading channel passing close to zero along a straight line, without noise.
        expected = {0.05f, -1.0f + 0.01f * k};
        got = moving.predict();
        moving.update(expected, {1.0f, 0.0f});
    }
    EXPECT_GE(steady.bestMemory(1.0f), 0.8f);
    EXPECT_EQ(moving.bestMemory(1.0f), 0.0f);
    EXPECT_LT(std::abs(got - expected), 1e-3f);
}

TEST(HfChannel, PathsFadeAsRayleighWithTheProfilesDopplerSpreadAndKeepTheMeanPower) {
    for (const sim::FadingProfile& p :
         {sim::kCcirGood, sim::kCcirModerate, sim::kCcirPoor, sim::kCcirFlutter}) {
        // Sampled so that a lag of 16 samples is 1 / (2 pi sigma), where the autocorrelation of a
        // Gaussian spectrum with standard deviation sigma (half the spread) has fallen to exp(-1/2).
        sim::RayleighFader fader(p.spreadHz, std::numbers::pi * p.spreadHz * 16, 7);
        std::vector<std::complex<double>> g(300'000);
        double power = 0.0, below1 = 0.0;
        std::complex<double> r{};
        for (std::size_t i = 0; i < g.size(); ++i) {
            g[i] = fader.next();
            power += std::norm(g[i]);
            below1 += std::norm(g[i]) < 1.0;
            if (i >= 16) r += g[i] * std::conj(g[i - 16]);
        }
        EXPECT_NEAR(power / g.size(), 1.0, 0.05) << p.name;
        EXPECT_NEAR(below1 / g.size(), 1.0 - std::exp(-1.0), 0.02) << p.name; // |g|^2 is exponential
        EXPECT_NEAR(std::abs(r) / power, std::exp(-0.5), 0.03) << p.name;
    }
    std::vector<float> tone(100 * 8000);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<float>(std::cos(2.0 * std::numbers::pi * 1000.0 * i / 8000.0));
    EXPECT_NEAR(kit::meanPower(sim::watterson(tone, sim::kCcirPoor, 8000.0, 3)) / kit::meanPower(tone), 1.0,
                0.1);
}
