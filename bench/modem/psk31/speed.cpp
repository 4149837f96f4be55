// Throughput of the receiver, transmitter and spectrum on one core. Each benchmark processes one
// second of audio per iteration, so the reported "x_realtime" counter is the multiple of real time.
#include "modem/psk31/BandDecoder.h"
#include "modem/psk31/HfChannel.h"
#include "modem/psk31/SignalKit.h"
#include "modem/psk31/Spectrum.h"

#include <benchmark/benchmark.h>

using namespace tavrel::psk31;

namespace {

std::vector<float> noisySignal(Mode mode) {
    std::vector<float> audio = kit::transmit(kit::englishText(200, 11), mode, 1000.0, {}, 0, 0);
    sim::addWhiteNoise(audio, kit::meanPower(audio), -8.0, kSampleRate, 1);
    return audio;
}

void report(benchmark::State& state, std::size_t samplesPerIteration) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * samplesPerIteration));
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * samplesPerIteration / kSampleRate,
                           benchmark::Counter::kIsRate);
}

void runReceiver(benchmark::State& state, Mode mode, bool withSpectrum) {
    const std::vector<float> audio = noisySignal(mode);
    Receiver rx;
    rx.setMode(mode);
    rx.setAfcLimit(50);
    rx.setFrequency(1000.0);
    Spectrum spectrum;
    spectrum.setRange(200, 3500, 1000);
    std::vector<float> frame(1000);
    uint8_t text[256];
    std::size_t pos = 0;
    constexpr std::size_t kSecond = 8000;
    constexpr std::size_t kBlock = 400; // 50 ms, a typical sound-card period
    for (auto _ : state) {
        for (std::size_t done = 0; done < kSecond; done += kBlock) {
            if (pos + kBlock > audio.size()) pos = 0;
            rx.process(audio.data() + pos, kBlock);
            if (withSpectrum) {
                spectrum.process(audio.data() + pos, kBlock);
                while (spectrum.takeFrame(frame.data()))
                    benchmark::DoNotOptimize(frame.data());
            }
            benchmark::DoNotOptimize(rx.readText(text, sizeof text));
            pos += kBlock;
        }
    }
    report(state, kSecond);
}

void BM_ReceiverBpsk(benchmark::State& state) {
    runReceiver(state, Mode::Bpsk, false);
}
void BM_ReceiverQpsk(benchmark::State& state) {
    runReceiver(state, Mode::QpskUsb, false);
}
void BM_ReceiverBpskWithSpectrum(benchmark::State& state) {
    runReceiver(state, Mode::Bpsk, true);
}
void BM_ReceiverQpskWithSpectrum(benchmark::State& state) {
    runReceiver(state, Mode::QpskUsb, true);
}

void BM_Spectrum(benchmark::State& state) {
    const std::vector<float> audio = noisySignal(Mode::Bpsk);
    Spectrum spectrum;
    spectrum.setRange(200, 3500, 1000);
    std::vector<float> frame(1000);
    std::size_t pos = 0;
    for (auto _ : state) {
        for (std::size_t done = 0; done < 8000; done += 400) {
            if (pos + 400 > audio.size()) pos = 0;
            spectrum.process(audio.data() + pos, 400);
            while (spectrum.takeFrame(frame.data()))
                benchmark::DoNotOptimize(frame.data());
            pos += 400;
        }
    }
    report(state, 8000);
}

void BM_Transmitter(benchmark::State& state, Mode mode) {
    Transmitter tx;
    tx.setMode(mode);
    tx.setFrequency(1000.0);
    const std::string text = kit::englishText(4000, 12);
    tx.queueText(text);
    tx.start();
    std::vector<float> out(400);
    for (auto _ : state) {
        for (std::size_t done = 0; done < 8000; done += out.size()) {
            if (tx.pending() < 10) tx.queueText(text);
            tx.generate(out.data(), out.size());
            benchmark::DoNotOptimize(out.data());
        }
        TxEcho echo[64];
        while (tx.takeEchoes(echo, 64) > 0) {
        }
    }
    report(state, 8000);
}

// A full band: 32 stations sending text 100 Hz apart from 300 Hz up, -10 to +20 dB over noise, so
// the band decoder runs all its receivers.
void BM_BandDecoder32(benchmark::State& state) {
    constexpr std::size_t kLength = 20 * 8000;
    std::vector<float> audio(kLength, 0.0f);
    double unit = 0.0;
    for (std::size_t s = 0; s < BandDecoder::kMaxChannels; ++s) {
        std::vector<float> station =
            kit::transmit(kit::englishText(200, 40 + s), Mode::Bpsk, 300.0 + 100.0 * s, {}, 0, 0);
        if (s == 0) unit = kit::meanPower(station);
        sim::mixIn(audio, station, 0, std::pow(10.0, (-10.0 + 30.0 * (s % 7) / 6.0) / 20.0));
    }
    sim::addWhiteNoise(audio, unit, 0.0, kSampleRate, 3);
    BandDecoder band;
    band.setRange(200, 3500);
    std::vector<BandDecoder::Report> reports;
    // Until every station has its channel.
    for (std::size_t i = 0; i + 400 <= 5 * 8000; i += 400)
        band.process(audio.data() + i, 400);
    std::size_t pos = 5 * 8000;
    for (auto _ : state) {
        for (std::size_t done = 0; done < 8000; done += 400) {
            if (pos + 400 > kLength) pos = 5 * 8000;
            band.process(audio.data() + pos, 400);
            pos += 400;
        }
        benchmark::DoNotOptimize(band.take(reports));
    }
    state.counters["channels"] = static_cast<double>(band.channelCount());
    report(state, 8000);
}

} // namespace

BENCHMARK(BM_BandDecoder32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceiverBpsk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiverQpsk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiverBpskWithSpectrum)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiverQpskWithSpectrum)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Spectrum)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Transmitter, bpsk, Mode::Bpsk)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Transmitter, qpsk, Mode::QpskUsb)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
