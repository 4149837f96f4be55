#pragma once
// Replay: the received audio of the last two minutes, and a second decoder that goes over the last
// seconds of it again (at the frequency and mode the live decoder has now) at about 100 times real
// time. Text decoded live while a replay runs is held and follows the replayed text. Plain C++,
// used on the audio thread; build it on the thread that builds the other FFT users.

#include "core/HistoryRing.h"
#include "modem/psk31/Receiver.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel {

// How the live decoder is set now.
struct ReplaySettings {
    int mode = 0;
    int trim = 0;
    int squelchThreshold = 0;
    int squelchSpeed = 1;
    int afcLimit = 0;
    double frequency = 1000.0;
};

class ReplayHistory {
public:
    static constexpr int kSeconds = 120;
    static constexpr int kLongestReplay = kSeconds - 10; // room for what arrives while it runs
    static constexpr std::size_t kChunk = 8000;          // audio decoded per run()

    ReplayHistory();

    // Received audio at 8000/s, kept as 16-bit samples.
    void record(const float* in, std::size_t n);
    // Starts decoding the last `seconds` again; false (nothing starts) when one runs already, or
    // there is nothing to replay.
    bool start(int seconds, const ReplaySettings& settings);
    bool running() const { return m_left > 0; }
    // Live text that arrived while the replay runs.
    void holdLive(const uint8_t* text, std::size_t n);
    // Decodes the next second of the replay and appends its text to out; at the end, the held
    // live text too.
    void run(std::string& out);

private:
    HistoryRing<int16_t> m_audio;
    psk31::Receiver m_rx;
    uint64_t m_next = 0; // number of the next sample to replay
    std::size_t m_left = 0;
    std::string m_heldLive;
    std::vector<float> m_chunk;
};

} // namespace tavrel
