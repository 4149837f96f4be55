#pragma once
// Test and benchmark helpers for the PSK31 modem: English text, a transmitter run with frequency
// offset and drift, a receiver run and the character error count (noise: sim::addWhiteNoise).

#include "modem/psk31/Receiver.h"
#include "modem/psk31/Transmitter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::psk31::kit {

// Mixed-case English of the kind sent in a contact, drawn at random with a fixed seed.
inline std::string englishText(std::size_t chars, uint32_t seed) {
    static const char* const kSentences[] = {
        "Thanks for the call, the signal is good here with a little fading. ",
        "My name is Peter and the QTH is a small village near the coast. ",
        "The rig is an old transceiver running about thirty watts into a dipole. ",
        "Please send your report and name, and I will put you in the log. ",
        "Your IMD looks clean and the trace on the waterfall is very narrow. ",
        "The antenna is up at 12 metres between two tall pine trees. ",
        "Sorry, I missed your call sign in the noise, please repeat it. ",
    };
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kSentences) - 1);
    std::string text;
    while (text.size() < chars)
        text += kSentences[pick(rng)];
    text.resize(chars);
    return text;
}

struct Channel {
    double offsetHz = 0.0;    // transmitter frequency minus receiver frequency
    double driftHzPerS = 0.0; // transmitter frequency change per second
};

// The whole transmission of `text` (preamble, `idleSamples` of idle reversals, text, postamble) at
// `hz`, with the channel's offset and drift, with `leadSamples` of silence before it and `tailSamples` after.
inline std::vector<float> transmit(std::string_view text, Mode mode, double hz, const Channel& ch = {},
                                   std::size_t leadSamples = 0, std::size_t tailSamples = 8000,
                                   std::size_t idleSamples = 0) {
    Transmitter tx;
    tx.setMode(mode);
    tx.setFrequency(hz + ch.offsetHz);
    tx.start();
    std::vector<float> audio(leadSamples, 0.0f);
    constexpr std::size_t kBlock = 80; // frequency steps of 10 ms for drift
    float block[kBlock];
    std::size_t n = 0;
    for (bool queued = false; tx.state() == TxState::Transmitting;) {
        if (!queued && n >= idleSamples) {
            queued = true;
            tx.queueText(text);
            tx.endWhenDrained();
        }
        if (ch.driftHzPerS != 0.0) tx.setFrequency(hz + ch.offsetHz + ch.driftHzPerS * (n / kSampleRate));
        tx.generate(block, kBlock);
        audio.insert(audio.end(), block, block + kBlock);
        n += kBlock;
    }
    audio.resize(audio.size() + tailSamples, 0.0f);
    return audio;
}

// The mean power while on the air (silence left out), the reference for a channel's SNR.
inline double meanPower(const std::vector<float>& audio) {
    double sum = 0.0;
    std::size_t count = 0;
    for (float s : audio)
        if (s != 0.0f) {
            sum += double(s) * s;
            ++count;
        }
    return count ? sum / count : 0.0;
}

struct RxSetup {
    Mode mode = Mode::Bpsk;
    double hz = 1000.0;
    int afcLimit = 0;
    int squelch = 0;
    std::size_t chunk = 512;                             // samples a process() call
    std::function<void(std::size_t, Receiver&)> watch{}; // after each call, with the samples so far
};

inline std::string receive(const std::vector<float>& audio, const RxSetup& setup, Receiver& rx) {
    rx.setMode(setup.mode);
    rx.setAfcLimit(setup.afcLimit);
    rx.setSquelchThreshold(setup.squelch);
    rx.setFrequency(setup.hz);
    std::string text;
    uint8_t buf[256];
    for (std::size_t i = 0; i < audio.size(); i += setup.chunk) {
        rx.process(audio.data() + i, std::min(setup.chunk, audio.size() - i));
        if (setup.watch) setup.watch(std::min(i + setup.chunk, audio.size()), rx);
        for (std::size_t n; (n = rx.readText(buf, sizeof buf)) > 0;)
            text.append(buf, buf + n);
    }
    return text;
}

inline std::string receive(const std::vector<float>& audio, const RxSetup& setup) {
    Receiver rx;
    return receive(audio, setup, rx);
}

// Edit distance: substitutions, insertions and deletions each count one character error.
inline std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diag = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row[b.size()];
}

} // namespace tavrel::psk31::kit
