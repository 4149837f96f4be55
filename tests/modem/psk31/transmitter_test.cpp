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

// Power of a real signal at one frequency over a Hann-windowed block.
double tonePower(const float* x, std::size_t n, double hz) {
    std::complex<double> acc{0.0, 0.0};
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / n);
        acc += w * x[i] * std::polar(1.0, -2 * std::numbers::pi * hz * i / kSampleRate);
    }
    return std::norm(acc);
}

} // namespace

TEST(Transmitter, IdleReversalsAreTwoCleanTonesWithProductsFarDown) {
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb, Mode::QpskLsb}) {
        Transmitter tx;
        tx.setMode(mode);
        tx.setFrequency(1000.0);
        tx.start();
        run(tx, 8 * kSamplesPerSymbol);
        const std::vector<float> idle = run(tx, 64 * kSamplesPerSymbol); // preamble then idle
        const double tones =
            tonePower(idle.data(), idle.size(), 984.375) + tonePower(idle.data(), idle.size(), 1015.625);
        const double third =
            tonePower(idle.data(), idle.size(), 953.125) + tonePower(idle.data(), idle.size(), 1046.875);
        const double fifth =
            tonePower(idle.data(), idle.size(), 921.875) + tonePower(idle.data(), idle.size(), 1078.125);
        const double carrier = tonePower(idle.data(), idle.size(), 1000.0);
        EXPECT_LT(10 * std::log10(third / tones), -40.0) << int(mode);
        EXPECT_LT(10 * std::log10(fifth / tones), -40.0) << int(mode);
        EXPECT_LT(10 * std::log10(carrier / tones), -40.0) << int(mode);
        // The two tones carry equal power.
        EXPECT_NEAR(tonePower(idle.data(), idle.size(), 984.375) /
                        tonePower(idle.data(), idle.size(), 1015.625),
                    1.0, 0.01);
    }
}

TEST(Transmitter, ReportsEachCharacterAsItGoesOnTheAirAndCountsDownPending) {
    Transmitter tx;
    EXPECT_EQ(tx.queueText("ea"), 2u);
    EXPECT_EQ(tx.pending(), 2u);
    tx.start();
    std::vector<TxEcho> echoes;
    TxEcho buf[8];
    std::vector<std::size_t> pendingAtEcho;
    for (int block = 0; block < 80; ++block) {
        run(tx, 128);
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
    Transmitter tx;
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
    // preamble 33, "hi" = 6+2 + 4+2 bits, 16 of carrier, one falling symbol.
    EXPECT_NEAR(static_cast<double>(all.size()) / kSamplesPerSymbol, 33 + 14 + 16 + 1, 1.0);
    float peak = 0.0f;
    for (float s : all)
        peak = std::max(peak, std::abs(s));
    EXPECT_LE(peak, 0.5f + 1e-4f);
    EXPECT_GT(peak, 0.49f);
    // The postamble is steady carrier: its envelope does not dip.
    const std::size_t post = all.size() - 10 * kSamplesPerSymbol;
    float low = 1.0f;
    for (std::size_t i = post; i < post + 4 * kSamplesPerSymbol; i += 2) {
        low = std::min(low, std::hypot(all[i], all[i + 1]));
    }
    EXPECT_GT(low, 0.3f);
    const std::vector<float> after = run(tx, 1000);
    for (float s : after)
        ASSERT_EQ(s, 0.0f);
}

TEST(Transmitter, TuneIsASteadyCarrierUntilEnded) {
    Transmitter tx;
    tx.setFrequency(1500.0);
    tx.tune();
    run(tx, 512);
    const std::vector<float> steady = run(tx, 8000);
    const double on = tonePower(steady.data(), steady.size(), 1500.0);
    const double off = tonePower(steady.data(), steady.size(), 1515.625);
    EXPECT_LT(10 * std::log10(off / on), -60.0);
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
