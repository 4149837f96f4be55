#include "modem/psk31/Transmitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace tavrel::psk31;

namespace {

std::vector<float> run(Transmitter& tx, std::size_t samples) {
    std::vector<float> out(samples);
    tx.generate(out.data(), out.size());
    return out;
}

// Power at one frequency over a Hann-windowed block.
double tonePower(const std::vector<float>& x, double hz) {
    std::complex<double> acc{0.0, 0.0};
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / x.size());
        acc += w * x[i] * std::polar(1.0, -2 * std::numbers::pi * hz * i / kSampleRate);
    }
    return std::norm(acc);
}

double db(double ratio) {
    return 10 * std::log10(ratio);
}

} // namespace

TEST(Transmitter, IdleReversalsAreTwoEqualTonesWithProductsFarDown) {
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb, Mode::QpskLsb}) {
        Transmitter tx;
        tx.setMode(mode);
        tx.start();
        run(tx, 8 * kSamplesPerSymbol);
        const std::vector<float> idle = run(tx, 64 * kSamplesPerSymbol); // preamble then idle
        const auto pair = [&](double off) { return tonePower(idle, 1000 - off) + tonePower(idle, 1000 + off); };
        for (double product : {0.0, 46.875, 78.125}) // carrier, third and fifth order
            EXPECT_LT(db(pair(product) / pair(15.625)), -40.0) << int(mode) << " " << product;
        EXPECT_NEAR(tonePower(idle, 984.375) / tonePower(idle, 1015.625), 1.0, 0.01) << int(mode);
    }
}

TEST(Transmitter, ReportsEachCharacterAsItGoesOnTheAirAndCountsDownPending) {
    Transmitter tx;
    EXPECT_EQ(tx.queueText("ea"), 2u);
    tx.start();
    std::vector<TxEcho> echoes;
    std::vector<std::size_t> pendingAtEcho;
    for (int block = 0; block < 80; ++block) {
        run(tx, 128);
        TxEcho buf[8];
        for (std::size_t n = tx.takeEchoes(buf, 8), i = 0; i < n; ++i) {
            echoes.push_back(buf[i]);
            pendingAtEcho.push_back(tx.pending());
        }
    }
    ASSERT_EQ(echoes.size(), 2u);
    EXPECT_EQ(echoes[0].character, 'e');
    EXPECT_EQ(echoes[1].character, 'a');
    // One rising symbol and 32 of preamble come first; 'e' is "11" plus "00".
    EXPECT_EQ(echoes[0].sample, 33u * kSamplesPerSymbol);
    EXPECT_EQ(echoes[1].sample - echoes[0].sample, 4u * kSamplesPerSymbol);
    EXPECT_EQ(pendingAtEcho, (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(tx.state(), TxState::Transmitting); // idles on reversals until told to end
}

TEST(Transmitter, EndsAfterTheQueueWithCarrierThenSilence) {
    // Preamble 33, "hi" = 6+2 + 4+2 bits, the postamble (longer on QPSK), one falling symbol.
    for (const auto& [mode, symbols] : {std::pair{Mode::Bpsk, 33 + 14 + 16 + 1}, {Mode::QpskUsb, 33 + 14 + 32 + 1}}) {
        Transmitter tx;
        tx.setMode(mode);
        tx.setAmplitude(0.5f);
        EXPECT_EQ(tx.state(), TxState::Idle);
        tx.queueText("hi");
        tx.start();
        tx.endWhenDrained();
        std::vector<float> all;
        while (tx.state() == TxState::Transmitting && all.size() < 200000) {
            const std::vector<float> b = run(tx, 256);
            all.insert(all.end(), b.begin(), b.end());
        }
        EXPECT_EQ(tx.state(), TxState::Finished);
        EXPECT_NEAR(static_cast<double>(all.size()) / kSamplesPerSymbol, symbols, 1.0) << int(mode);
        float peak = 0.0f, low = 1.0f;
        for (float s : all)
            peak = std::max(peak, std::abs(s));
        EXPECT_NEAR(peak, 0.5f, 0.01f);
        EXPECT_LE(peak, 0.5f + 1e-4f);
        // The postamble is steady carrier: its envelope does not dip.
        for (std::size_t i = all.size() - 10 * kSamplesPerSymbol; i < all.size() - 6 * kSamplesPerSymbol; i += 2)
            low = std::min(low, std::hypot(all[i], all[i + 1]));
        EXPECT_GT(low, 0.3f);
        for (float s : run(tx, 1000))
            ASSERT_EQ(s, 0.0f);
    }
}

TEST(Transmitter, TuneIsASteadyCarrierOnTheTrueFrequencyUntilEnded) {
    Transmitter tx;
    tx.setFrequency(1500.0);
    tx.setTrim(1000); // the card runs 1000 ppm fast: 1500 Hz is 1498.5 Hz of its samples
    tx.tune();
    run(tx, 512);
    const std::vector<float> steady = run(tx, 4 * 8000);
    const double on = tonePower(steady, 1500.0 / 1.001);
    EXPECT_LT(db(tonePower(steady, 1500.0) / on), -20.0);
    EXPECT_LT(db(tonePower(steady, 1515.625) / on), -60.0);
    tx.endWhenDrained();
    run(tx, 2 * kSamplesPerSymbol + 1);
    EXPECT_EQ(tx.state(), TxState::Finished);
}

TEST(Transmitter, AbortStopsWithinAFadeAndDropsTheQueue) {
    Transmitter tx;
    tx.queueText("a long text that will never be sent");
    tx.start();
    run(tx, 40 * kSamplesPerSymbol);
    tx.abort();
    EXPECT_EQ(tx.pending(), 0u);
    const std::vector<float> tail = run(tx, 200);
    EXPECT_EQ(tx.state(), TxState::Finished);
    for (std::size_t i = Transmitter::kAbortFadeSamples; i < tail.size(); ++i)
        ASSERT_EQ(tail[i], 0.0f);
    // Aborting when idle is harmless and a new transmission starts cleanly.
    tx.abort();
    tx.queueText("x");
    tx.start();
    EXPECT_EQ(tx.state(), TxState::Transmitting);
}

TEST(Transmitter, OutOfRangeSettingsAreClampedNotTrusted) {
    Transmitter tx;
    tx.setFrequency(50.0);
    EXPECT_EQ(tx.frequency(), kMinCarrierHz);
    tx.setFrequency(1e9);
    EXPECT_EQ(tx.frequency(), kMaxCarrierHz);
    tx.setFrequency(std::nan(""));
    EXPECT_TRUE(std::isfinite(tx.frequency()));
    tx.setAmplitude(7.0f);
    tx.tune();
    for (float s : run(tx, 4000))
        ASSERT_LE(std::abs(s), 1.0f + 1e-5f);
    // Bytes with no ASCII equivalent are not queued at all.
    EXPECT_EQ(tx.queueText("\x81\x8d"), 0u);
    EXPECT_EQ(tx.queueText("caf\xe9"), 4u);
}
