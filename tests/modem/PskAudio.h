#pragma once
// PSK31 audio made by our own transmitter, for tests of the receiving side.

#include "modem/psk31/Transmitter.h"

#include <random>
#include <string>
#include <vector>

namespace tavrel::testing {

// One over of `text` at `hz` (preamble to postamble, with `idleSeconds` of idle reversals after the
// text), appended to `audio`.
inline void appendOver(std::vector<float>& audio, const std::string& text, double hz, int mode = 0,
                       float amplitude = 0.5f, int idleSeconds = 0) {
    psk31::Transmitter tx;
    tx.setMode(psk31::modeFromInt(mode));
    tx.setFrequency(hz);
    tx.setAmplitude(amplitude);
    tx.queueText(text);
    tx.start();
    const auto more = [&](std::size_t n) {
        const std::size_t at = audio.size();
        audio.resize(at + n);
        tx.generate(audio.data() + at, n);
    };
    while (tx.pending() > 0)
        more(256);
    more(static_cast<std::size_t>(idleSeconds) * 8000);
    tx.endWhenDrained();
    while (tx.state() == psk31::TxState::Transmitting)
        more(256);
}

// An over with a second of quiet before and after, over a little white noise (about 40 dB below the
// signal in 2500 Hz): a real input always has some, and the decoder copies a signal far outside its
// filter when there is none at all.
inline std::vector<float> pskAudio(const std::string& text, double hz, int mode = 0, int idleSeconds = 0) {
    std::vector<float> audio(8000, 0.0f);
    appendOver(audio, text, hz, mode, 0.5f, idleSeconds);
    audio.insert(audio.end(), 8000, 0.0f);
    std::mt19937 random(1234);
    std::normal_distribution<float> noise(0.0f, 0.005f);
    for (float& v : audio)
        v += noise(random);
    return audio;
}

} // namespace tavrel::testing
