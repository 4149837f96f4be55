#include "modem/psk31/Psk31.h"
#include "modem/psk31/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace tavrel::psk31;

namespace {

std::vector<float> sine(double hz, double amplitude, std::size_t n) {
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / kSampleRate));
    return x;
}

} // namespace

TEST(Spectrum, FullScaleSinePeaksAtZeroDbInItsBin) {
    const struct {
        double low, high;
        std::size_t bins;
    } cases[] = {{500, 1500, 100}, {0, 4000, 800}, {950, 1050, 1000}, {900, 1100, 3}, {990, 1190, 4}};
    for (const auto& c : cases) {
        Spectrum s;
        s.setRange(c.low, c.high, c.bins);
        const std::vector<float> x = sine(1000.0, 1.0, 8192);
        s.process(x.data(), x.size());
        std::vector<float> frame(c.bins);
        while (s.takeFrame(frame.data())) {
        }
        const auto peak = std::max_element(frame.begin(), frame.end());
        const double peakHz = c.low + (peak - frame.begin() + 0.5) * (c.high - c.low) / c.bins;
        EXPECT_NEAR(*peak, 0.0, 1.6) << c.bins; // Hann scalloping at most 1.4 dB
        EXPECT_NEAR(peakHz, 1000.0, std::max(2.0, (c.high - c.low) / c.bins)) << c.bins;
        if (c.bins == 800) {
            EXPECT_LT(frame[100], -80.0f); // 500 Hz away the window's sidelobes are far down
        }
    }
}

TEST(Spectrum, FramesComeAtTheHopRateAndOnlyTheNewestAreKept) {
    Spectrum s(4096, 512);
    s.setRange(200, 3000, 64);
    const std::vector<float> x = sine(700.0, 0.1, 8000);
    s.process(x.data(), 512 * 3);
    EXPECT_EQ(s.framesReady(), 3u);
    s.process(x.data(), x.size());
    EXPECT_EQ(s.framesReady(), Spectrum::kMaxQueuedFrames);
    std::vector<float> frame(64);
    std::size_t n = 0;
    while (s.takeFrame(frame.data()))
        ++n;
    EXPECT_EQ(n, Spectrum::kMaxQueuedFrames);
}

TEST(Spectrum, BadRangesAreRepairedNotTrusted) {
    Spectrum s;
    s.setRange(3000, 1000, 0);
    EXPECT_EQ(s.lowHz(), 1000);
    EXPECT_EQ(s.highHz(), 3000);
    EXPECT_EQ(s.bins(), 1u);
    s.setRange(std::nan(""), 1e9, 10);
    EXPECT_TRUE(s.lowHz() >= 0 && s.highHz() <= 4000 && s.lowHz() < s.highHz());
    s.setRange(4000, 4000, 10);
    EXPECT_LT(s.lowHz(), s.highHz());
    const std::vector<float> x(5000, 0.0f);
    s.process(x.data(), x.size());
    std::vector<float> frame(10);
    ASSERT_TRUE(s.takeFrame(frame.data()));
    for (float v : frame)
        EXPECT_EQ(v, Spectrum::kFloorDb); // silence
}
