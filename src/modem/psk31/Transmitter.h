#pragma once
// PSK31 transmitter: Windows-1252 text -> varicode -> BPSK31 or QPSK31 symbols -> cosine-shaped audio.
//
// Plain single-threaded object: no locks, no threads, no allocation in generate(). queueText() may
// grow the queue. A host that calls queueText() from one thread and generate() from another must
// hand the text over itself (e.g. through a ring buffer).

#include "modem/psk31/Convolutional.h"
#include "modem/psk31/Psk31.h"

#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::psk31 {

enum class TxState {
    Idle,         // never started
    Transmitting, // preamble, text, idle reversals, postamble, tune carrier or the abort fade
    Finished,     // the signal has ended; generate() gives silence until the next start
};

// A character whose first symbol starts at `sample` (counted over every sample generate() has
// produced since construction). This is the moment its bits go on the air.
struct TxEcho {
    uint8_t character = 0; // the ASCII code actually sent
    uint64_t sample = 0;
};

class Transmitter {
public:
    static constexpr int kPreambleSymbols = 32;      // ~1 s of reversals to open squelches and AFCs
    static constexpr int kBpskPostambleSymbols = 16; // ~0.5 s of carrier
    static constexpr int kQpskPostambleSymbols = 32; // longer: covers the far decoder's decision delay
    static constexpr int kAbortFadeSamples = 64;     // 8 ms fade instead of a click
    static constexpr std::size_t kEchoCapacity = 256;

    Transmitter();

    // Modulation for the next start()/tune(); a change during a transmission waits for the next one.
    void setMode(Mode mode) { m_nextMode = mode; }
    Mode mode() const { return m_nextMode; }

    // Carrier (audio) frequency in Hz, clamped to 200..3500. Takes effect at once, phase-continuous.
    void setFrequency(double hz);
    double frequency() const { return m_frequency; }

    // Sound-card clock error in ppm (-1000..1000), see trimmedRate(): the transmitter corrects for it
    // so the signal leaves the card on the nominal frequency and baud rate.
    void setTrim(int ppm);

    // Peak output amplitude (0..1, default 0.8); steady carrier has this amplitude.
    void setAmplitude(float peak);

    // Appends text to the queue. Bytes above 127 are sent as their nearest ASCII equivalent (see
    // asciiForAir()); the few with none are left out. Returns the number of characters queued.
    std::size_t queueText(std::string_view text);
    // Characters queued whose first bit has not gone on the air yet.
    std::size_t pending() const { return m_queue.size() - m_queuePos; }

    // Starts a transmission: preamble of reversals, then the queue, then idle reversals while the
    // queue is empty. Ignored while already transmitting.
    void start();
    // Starts a steady unmodulated carrier (for tuning) that lasts until endWhenDrained() or abort().
    void tune();
    // Ends the transmission once the queue is sent: the last character, its "00", a postamble of
    // carrier, then the signal fades to silence and the state becomes Finished. Ends tune at once.
    void endWhenDrained();
    // Stops at once (after an 8 ms fade) and discards the queue.
    void abort();

    TxState state() const { return m_state; }

    // Fills out[0..n) with audio at 8000 samples/s (silence when not transmitting).
    void generate(float* out, std::size_t n);

    // Moves up to `max` echoes (oldest first) into `out`; returns how many. Drain after every
    // generate(): at most kEchoCapacity are kept, the oldest are dropped beyond that.
    std::size_t takeEchoes(TxEcho* out, std::size_t max);

    uint64_t samplesGenerated() const { return m_sampleCount; }

private:
    enum class Phase { Off, Preamble, Text, Postamble, Tune, RampDown, Fade };

    void begin(Phase phase);
    void updateSteps();
    std::complex<float> nextSymbol();
    int nextTextBit();
    void pushEcho(uint8_t c);

    Mode m_nextMode = Mode::Bpsk;
    Mode m_mode = Mode::Bpsk;
    double m_frequency = 1000.0;
    int m_trim = 0;
    float m_amplitude = 0.8f;

    TxState m_state = TxState::Idle;
    Phase m_phase = Phase::Off;
    bool m_ending = false;
    int m_count = 0; // symbols left in the preamble or postamble, samples left in the fade

    std::string m_queue;
    std::size_t m_queuePos = 0;
    uint32_t m_charBits = 0; // bits of the character on the air, next bit in bit (m_charLen - 1)
    int m_charLen = 0;

    ConvEncoder m_encoder;
    std::complex<float> m_prev{0.0f, 0.0f}; // symbol the current transition leaves
    std::complex<float> m_cur{0.0f, 0.0f};  // symbol it arrives at
    double m_symbolPos = 0.0;               // 0..1 through the current transition
    double m_symbolStep = 1.0 / kSamplesPerSymbol;

    std::complex<double> m_osc{1.0, 0.0};
    std::complex<double> m_oscStep{1.0, 0.0};

    std::array<TxEcho, kEchoCapacity> m_echo{};
    std::size_t m_echoHead = 0;
    std::size_t m_echoCount = 0;
    uint64_t m_sampleCount = 0;
};

} // namespace tavrel::psk31
