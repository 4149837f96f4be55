#pragma once
// The over as the audio thread runs it: which of the transmitter's steps comes next, and what the
// program is told. Plain C++: no Qt, no threads, no sound; the engine feeds it the over's commands
// and asks it for audio, the tests do the same with a loop.
//
// An over: Start keys the transmitter (preamble, the queue, idle reversals while it is empty); End
// lets the queue run dry, then queues the identification, then ends (postamble and fade). Tune is a
// steady carrier that End stops at once. Abort stops at once (the transmitter fades) and drops the
// queue; a Start while an aborted over still fades waits for the fade. Text that arrives after the
// transmitter has finished but before the end was reported still goes out in the same over.
//
// Each character is reported (Char) once the sound device has played its first sample, and the end
// (Finished) once the over's last sample has been played: the caller says how far playing has got.

#include "modem/audio/EngineCommand.h"
#include "modem/psk31/Transmitter.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel {

struct OverEvent {
    enum class Kind : uint8_t { Char, Finished };
    Kind kind = Kind::Char;
    uint32_t over = 0;
    uint8_t code = 0;     // Char: the character as sent
    bool counted = false; // Char: it came from the transmit queue, not the identification
    uint32_t textSeq = 0; // Finished: the seq of the last text command taken before the end
};

class OverSequencer {
public:
    OverSequencer();

    // Mode and trim, which the receiver shares, are set on it directly.
    psk31::Transmitter& transmitter() { return m_tx; }

    // Takes Text, IdClear, IdAppend, Start, Tune, End, Abort, TxFreq and Drive (0..255, full
    // drive 90 % of full scale); false for any other command.
    bool apply(const EngineCommand& c);

    // The next n samples (8000/s) of the transmitter.
    void generate(float* out, std::size_t n);
    uint64_t generated() const { return m_tx.samplesGenerated(); }

    // `played` of the generated samples have left the sound device: reports the characters that
    // went on the air and, once its last sample is out, the end of the over.
    void advance(uint64_t played);

    // An over runs (from Start or Tune until it is reported Finished).
    bool onAir() const { return m_active; }

    // What happened, oldest first; the caller empties it.
    std::vector<OverEvent>& events() { return m_events; }

private:
    struct Echo {
        uint8_t code;
        bool counted;
        uint64_t sample;
    };

    void beforeGenerate();
    void deliverEchoes(uint64_t played);
    void finish();

    psk31::Transmitter m_tx;
    uint32_t m_over = 0;
    bool m_active = false;
    bool m_startDue = false;
    bool m_isTune = false;
    bool m_endRequested = false;
    bool m_endGiven = false;
    bool m_idQueued = false;
    bool m_ended = false;
    uint64_t m_endSample = 0;
    uint32_t m_textSeq = 0;
    std::string m_idText;
    std::size_t m_uncountedAhead = 0; // characters of the identification not yet echoed
    std::vector<Echo> m_echoes;       // generated, not yet played
    std::array<psk31::TxEcho, psk31::Transmitter::kEchoCapacity> m_echoScratch{};
    std::vector<OverEvent> m_events;
};

} // namespace tavrel
