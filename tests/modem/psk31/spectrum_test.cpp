#include "modem/psk31/Psk31.h"
#include "modem/psk31/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace tavrel::psk31;

TEST(Spectrum, FullScaleSinePeaksAtZeroDbInItsBinEveryHop) {
    std::vector<float> x(8192);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(std::sin(2 * std::numbers::pi * 1000.0 * i / kSampleRate));
    const double cases[][3] = {
        {500, 1500, 100}, {0, 4000, 800}, {950, 1050, 1000}, {900, 1100, 3}, {990, 1190, 4}};
    for (const auto& [low, high, wide] : cases) {
        const auto bins = static_cast<std::size_t>(wide);
        Spectrum s(4096, 512);
        s.setRange(low, high, bins);
        s.process(x.data(), 512 * 3);
        EXPECT_EQ(s.framesReady(), 3u);
        s.process(x.data(), x.size()); // only the newest frames are kept
        EXPECT_EQ(s.framesReady(), Spectrum::kMaxQueuedFrames);
        std::vector<float> frame(bins);
        while (s.takeFrame(frame.data())) {
        }
        const auto peak = std::max_element(frame.begin(), frame.end());
        const double peakHz = low + (peak - frame.begin() + 0.5) * (high - low) / bins;
        EXPECT_NEAR(*peak, 0.0, 1.6) << bins; // Hann scalloping at most 1.4 dB
        EXPECT_NEAR(peakHz, 1000.0, std::max(2.0, (high - low) / bins)) << bins;
        EXPECT_TRUE(bins != 800 || frame[100] < -80.0f); // 500 Hz away the sidelobes are far down
    }
}

TEST(Spectrum, BadRangesAreRepairedNotTrusted) {
    const double cases[][6] = {// asked low, high, bins; given low, high, bins
                               {3000, 1000, 0, 1000, 3000, 1},
                               {NAN, 1e9, 10, 0, 4000, 10},
                               {-50, 200, 10, 0, 200, 10},
                               {4000, 4000, 10, 3999, 4000, 10}};
    for (const auto& c : cases) {
        Spectrum s;
        s.setRange(c[0], c[1], static_cast<std::size_t>(c[2]));
        EXPECT_EQ(std::vector({s.lowHz(), s.highHz(), double(s.bins())}), std::vector(c + 3, c + 6)) << c[0];
        const std::vector<float> x(5000, 0.0f);
        s.process(x.data(), x.size());
        std::vector<float> frame(s.bins());
        ASSERT_TRUE(s.takeFrame(frame.data()));
        EXPECT_EQ(std::ranges::count(frame, Spectrum::kFloorDb), c[5]); // silence
    }
}
