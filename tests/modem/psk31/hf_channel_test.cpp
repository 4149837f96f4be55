#include "modem/psk31/HfChannel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace tavrel::psk31;

TEST(HfChannel, FadingPathsAreRayleighWithUnitPowerAndAGaussianDopplerSpectrumOfTheProfilesSpread) {
    for (const sim::FadingProfile& p :
         {sim::kCcirGood, sim::kCcirModerate, sim::kCcirPoor, sim::kCcirFlutter}) {
        // Sampled so that one lag of 16 samples is 1 / (2 pi sigma), where the autocorrelation of a
        // Gaussian spectrum with standard deviation sigma has fallen to exp(-1/2), and two to exp(-2).
        const double sigma = p.spreadHz / 2.0;
        constexpr int kLag = 16;
        sim::RayleighFader fader(p.spreadHz, 2.0 * std::numbers::pi * sigma * kLag, 7);
        std::vector<std::complex<double>> g(300'000);
        for (auto& v : g)
            v = fader.next();
        double power = 0.0, below01 = 0.0, below1 = 0.0, below2 = 0.0;
        std::complex<double> r1{}, r2{};
        for (std::size_t i = 0; i < g.size(); ++i) {
            const double e = std::norm(g[i]);
            power += e;
            below01 += e < 0.1;
            below1 += e < 1.0;
            below2 += e < 2.0;
            if (i >= kLag) r1 += g[i] * std::conj(g[i - kLag]);
            if (i >= 2 * kLag) r2 += g[i] * std::conj(g[i - 2 * kLag]);
        }
        const double n = static_cast<double>(g.size());
        EXPECT_NEAR(power / n, 1.0, 0.05) << p.name;
        // |g|^2 of a Rayleigh path is exponential: P(|g|^2 < x) = 1 - exp(-x).
        EXPECT_NEAR(below01 / n, 1.0 - std::exp(-0.1), 0.01) << p.name;
        EXPECT_NEAR(below1 / n, 1.0 - std::exp(-1.0), 0.02) << p.name;
        EXPECT_NEAR(below2 / n, 1.0 - std::exp(-2.0), 0.02) << p.name;
        EXPECT_NEAR(std::abs(r1) / power, std::exp(-0.5), 0.03) << p.name;
        EXPECT_NEAR(std::abs(r2) / power, std::exp(-2.0), 0.03) << p.name;
    }
}

TEST(HfChannel, TwoPathChannelKeepsTheMeanPower) {
    std::vector<float> tone(100 * 8000);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<float>(std::sqrt(2.0) * std::cos(2.0 * std::numbers::pi * 1000.0 * i / 8000.0));
    const std::vector<float> out = sim::watterson(tone, sim::kCcirPoor, 8000.0, 3);
    double power = 0.0;
    for (float s : out)
        power += double(s) * s;
    EXPECT_NEAR(power / out.size(), 1.0, 0.1);
}
