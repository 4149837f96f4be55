#include "modem/psk31/HfChannel.h"

#include <gtest/gtest.h>

using namespace tavrel::psk31;

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
        tone[i] = static_cast<float>(std::sqrt(2.0) * std::cos(2.0 * std::numbers::pi * 1000.0 * i / 8000.0));
    double power = 0.0;
    for (float s : sim::watterson(tone, sim::kCcirPoor, 8000.0, 3))
        power += double(s) * s;
    EXPECT_NEAR(power / tone.size(), 1.0, 0.1);
}
