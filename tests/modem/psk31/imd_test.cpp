#include "modem/psk31/Imd.h"
#include "modem/psk31/SignalKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace tavrel::psk31;

namespace {

// Idle reversals as an explicit two-tone at fc +/- 15.625 Hz, with third-order products of a known
// level (dB against the tones) at fc +/- 46.875 Hz, and white noise for the SNR in 2500 Hz.
std::vector<float> twoTone(double fc, double imdDb, double snrDb, double seconds, uint32_t seed) {
    const double a3 = std::pow(10.0, imdDb / 20.0);
    const std::size_t n = static_cast<std::size_t>(seconds * kSampleRate);
    std::vector<float> x(n);
    const double w = 2 * std::numbers::pi / kSampleRate;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i);
        x[i] = static_cast<float>(0.3 * (std::cos(w * (fc - 15.625) * t) + std::cos(w * (fc + 15.625) * t) +
                                         a3 * std::cos(w * (fc - 46.875) * t) +
                                         a3 * std::cos(w * (fc + 46.875) * t)));
    }
    const double power = 0.3 * 0.3; // two tones of 0.3 each: 2 * 0.09 / 2
    const double sigma = std::sqrt(power / std::pow(10.0, snrDb / 10.0) * 4000.0 / 2500.0);
    std::mt19937 rng(seed);
    std::normal_distribution<float> g(0.0f, static_cast<float>(sigma));
    for (float& s : x)
        s += g(rng);
    return x;
}

std::vector<double> readings(const std::vector<float>& audio, double fc) {
    Receiver rx;
    rx.setAfcLimit(50);
    rx.setFrequency(fc);
    std::vector<double> out;
    for (std::size_t i = 0; i + 400 <= audio.size(); i += 400) {
        rx.process(audio.data() + i, 400);
        if (auto imd = rx.takeImd()) out.push_back(*imd);
    }
    return out;
}

} // namespace

TEST(Imd, KnownThirdOrderDistortionReadsBackWithinOneDb) {
    for (double imd : {-12.0, -20.0, -26.0, -33.0}) {
        const std::vector<double> r = readings(twoTone(1500.0, imd, 40.0, 6.0, 1), 1502.0);
        ASSERT_FALSE(r.empty()) << imd;
        for (double v : r)
            EXPECT_NEAR(v, imd, 1.0) << imd;
    }
}

TEST(Imd, OurOwnIdleSignalReadsBetterThanMinus40Db) {
    Transmitter tx;
    tx.setFrequency(900.0);
    tx.start();
    std::vector<float> audio(6 * 8000);
    tx.generate(audio.data(), audio.size());
    const std::vector<double> r = readings(audio, 900.0);
    ASSERT_FALSE(r.empty());
    for (double v : r)
        EXPECT_LT(v, -40.0);
}

TEST(Imd, NoReadingOnAWeakSignalOrOnText) {
    EXPECT_TRUE(readings(twoTone(1000.0, -25.0, 10.0, 6.0, 2), 1000.0).empty());
    kit::Channel ch;
    ch.snrDb = 40.0;
    // Text without pauses: no run of reversals long enough to measure.
    std::vector<float> text = kit::transmit(kit::englishText(40, 2), Mode::Bpsk, 1000.0, ch);
    text.erase(text.begin(), text.begin() + 36 * kSamplesPerSymbol); // skip the preamble
    kit::addNoise(text, ch);
    EXPECT_TRUE(readings(text, 1000.0).empty());
}

TEST(Imd, DirectMeasurementReportsChannelSnr) {
    std::vector<std::complex<float>> x(512);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = 2 * std::numbers::pi * 15.625 * i / 500.0;
        x[i] = {static_cast<float>(std::cos(t) * 2), 0.0f}; // tones at +/-15.625 Hz
    }
    const ImdMeasurement m = measureImd(x.data(), x.size(), 500.0);
    EXPECT_GT(m.channelSnrDb, 60.0);
    EXPECT_LT(m.imdDb, -60.0);
}
