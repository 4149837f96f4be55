#include "modem/psk31/Transmitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

using namespace tavrel::psk31;

namespace {

std::vector<float> run(Transmitter& tx, std::size_t samples) {
    std::vector<float> out(samples);
    tx.generate(out.data(), out.size());
    return out;
}

// The power at `hz` against that at `refHz` in dB, over a Hann-windowed block.
double db(const std::vector<float>& x, double hz, double refHz) {
    const auto power = [&](double f) {
        std::complex<double> acc{0.0, 0.0};
        for (std::size_t i = 0; i < x.size(); ++i)
            acc += (0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / x.size())) * x[i] *
                   std::polar(1.0, -2 * std::numbers::pi * f * i / kSampleRate);
        return std::norm(acc);
    };
    return 10 * std::log10(power(hz) / power(refHz));
}

} // namespace

TEST(Transmitter, IdleReversalsAreTwoEqualTonesWithProductsFarDown) {
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb, Mode::QpskLsb}) {
        Transmitter tx;
        tx.setMode(mode);
        tx.start();
        run(tx, 8 * kSamplesPerSymbol);
        const std::vector<float> idle = run(tx, 64 * kSamplesPerSymbol); // preamble then idle
        EXPECT_NEAR(db(idle, 984.375, 1015.625), 0.0, 0.05) << int(mode);
        for (double hz : {1000.0, 953.125, 1046.875, 921.875, 1078.125}) // carrier, 3rd and 5th order
            EXPECT_LT(db(idle, hz, 1015.625), -40.0) << int(mode) << " " << hz;
    }
}

TEST(Transmitter, ReportsEachCharacterAsItGoesOnTheAirAndCountsDownPending) {
    Transmitter tx;
    EXPECT_EQ(tx.queueText("ea"), 2u);
    tx.start();
    std::vector<std::tuple<char, uint64_t, std::size_t>> echoes; // with what was still pending then
    for (int block = 0; block < 80; ++block) {
        run(tx, 128);
        TxEcho buf[8];
        for (std::size_t n = tx.takeEchoes(buf, 8), i = 0; i < n; ++i)
            echoes.emplace_back(buf[i].character, buf[i].sample, tx.pending());
    }
    // One rising symbol and 32 of preamble come first; 'e' is "11" plus "00".
    EXPECT_EQ(echoes, (decltype(echoes){{'e', 33 * kSamplesPerSymbol, 1}, {'a', 37 * kSamplesPerSymbol, 0}}));
    EXPECT_EQ(tx.state(), TxState::Transmitting); // idles on reversals until told to end
}

TEST(Transmitter, EndsAfterTheQueueWithCarrierThenSilence) {
    // Preamble 33, "hi" = 6+2 + 4+2 bits, the postamble (longer on QPSK), one falling symbol.
    for (const auto& [mode, symbols] : {std::pair{Mode::Bpsk, 64}, {Mode::QpskUsb, 80}}) {
        Transmitter tx;
        tx.setMode(mode);
        tx.setAmplitude(0.5f);
        tx.queueText("hi");
        tx.start();
        tx.endWhenDrained();
        std::vector<float> all;
        while (tx.state() == TxState::Transmitting && all.size() < 200000)
            std::ranges::copy(run(tx, 256), std::back_inserter(all));
        EXPECT_EQ(tx.state(), TxState::Finished);
        ASSERT_NEAR(static_cast<double>(all.size()) / kSamplesPerSymbol, symbols, 1.0) << int(mode);
        EXPECT_NEAR(*std::max_element(all.begin(), all.end()), 0.5f, 0.005f);
        // The postamble is steady carrier: its envelope does not dip.
        for (std::size_t i = all.size() - 10 * kSamplesPerSymbol; i < all.size() - 6 * kSamplesPerSymbol;
             i += 2)
            ASSERT_GT(std::hypot(all[i], all[i + 1]), 0.3f) << int(mode);
        const std::vector<float> after = run(tx, 1000);
        EXPECT_EQ(std::count(after.begin(), after.end(), 0.0f), 1000);
    }
}

TEST(Transmitter, AbortFadesOutAtOnceTuneIsASteadyCarrierAndBadSettingsAreClamped) {
    Transmitter tx;
    tx.queueText("a long text that will never be sent");
    tx.start();
    run(tx, 40 * kSamplesPerSymbol);
    tx.abort();
    EXPECT_EQ(tx.pending(), 0u);
    const std::vector<float> tail = run(tx, 200);
    EXPECT_EQ(tx.state(), TxState::Finished);
    EXPECT_EQ(std::count(tail.begin() + Transmitter::kAbortFadeSamples, tail.end(), 0.0f), 200 - 64);
    tx.abort(); // harmless when idle
    for (const auto& [hz, clamped] : {std::pair{50.0, kMinCarrierHz}, {1e9, kMaxCarrierHz}, {NAN, 1000.0}}) {
        tx.setFrequency(hz);
        EXPECT_EQ(tx.frequency(), clamped) << hz;
    }
    // Tune is a steady carrier on the true frequency until ended.
    tx.setFrequency(1500.0);
    tx.setTrim(1000); // the card runs 1000 ppm fast: 1500 Hz is 1498.5 Hz of its samples
    tx.setAmplitude(7.0f);
    tx.tune();
    run(tx, 512);
    const std::vector<float> steady = run(tx, 4 * 8000);
    EXPECT_LT(db(steady, 1500.0, 1500.0 / 1.001), -20.0);
    EXPECT_LT(db(steady, 1515.625, 1500.0 / 1.001), -60.0);
    EXPECT_NEAR(*std::ranges::max_element(steady), 1.0f, 1e-3f); // 7 is taken as full scale
    tx.endWhenDrained();
    run(tx, 2 * kSamplesPerSymbol + 1);
    EXPECT_EQ(tx.state(), TxState::Finished);
    // Bytes with no ASCII equivalent are not queued at all.
    EXPECT_EQ(tx.queueText("\x81\x8d"), 0u);
    EXPECT_EQ(tx.queueText("caf\xe9"), 4u);
}
