#pragma once
// Decodes every PSK31 station in a span of the band at once, for the signal browser.
//
// A BandScan looks at the band twice a second; each signal it finds gets a channel: a Receiver of
// its own, started on the signal with the AFC on and fed the last second of audio first, so the
// start of the over that the scan needed to see the signal is read too. At most kMaxChannels; when
// all are taken, a new signal takes the channel heard least recently, if that one is not heard now.
// A channel is heard while the scan sees its signal or its receiver reads it (level 40 or more);
// one not heard for kDropSeconds is dropped. Channels that come within 40 Hz of each other (two
// receivers pulled onto one station) are one: the one reading it worse goes.
//
// Every channel decodes in the one mode set (BPSK and QPSK look alike on the spectrum), with a
// squelch of 50 and fast, so a channel on noise, a faded station or the end of an over stays
// silent. Time is counted in samples
// fed, so the decoder behaves the same at any speed.
//
// Plain single-threaded object. All receivers are built by the constructor (FFTW plans are made
// there only): construct and destroy it on one thread at a time with other FFTW users; process()
// and take() may then run on any one thread. No allocation in process() or take() once the
// caller's report strings have grown.

#include "modem/psk31/BandScan.h"
#include "modem/psk31/Psk31.h"
#include "modem/psk31/Receiver.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrel::psk31 {

class BandDecoder {
public:
    static constexpr std::size_t kMaxChannels = 32;
    static constexpr double kDropSeconds = 30.0;
    static constexpr int kChannelAfcHz = 25;
    static constexpr int kChannelSquelch = 50;
    static constexpr int kChannelSquelchSpeed = 0; // fast: a line shows no noise after an over
    static constexpr int kHeardLevel = 40;
    static constexpr std::size_t kLookEvery = 4096; // samples between looks at the band

    BandDecoder();
    ~BandDecoder();
    BandDecoder(const BandDecoder&) = delete;
    BandDecoder& operator=(const BandDecoder&) = delete;

    // Mode of every channel; restarts their decoders.
    void setMode(Mode mode);
    // The span looked at, in Hz (see BandScan::setRange); channels outside it are dropped.
    void setRange(double lowHz, double highHz);
    // Sound-card clock error in ppm.
    void setTrim(int ppm);

    // Audio at 8000 samples/s.
    void process(const float* in, std::size_t n);

    struct Report {
        uint32_t id = 0;  // the channel's own number, never reused
        double hz = 0.0;  // where its receiver is now (after AFC)
        int level = 0;    // its receiver's signal level, 0..100
        std::string text; // characters decoded since the last take() (ASCII)
    };
    // Every live channel, in no particular order, with the text it decoded since the last call.
    // Fills out[0..n) and returns n; the strings keep their capacity from call to call.
    std::size_t take(std::vector<Report>& out);

    std::size_t channelCount() const;

private:
    struct Channel {
        bool live = false;
        uint32_t id = 0;
        uint64_t heardAt = 0; // samples fed when it was last heard
    };

    void lookAtBand();
    void start(std::size_t slot, double hz);
    void merge();

    Mode m_mode = Mode::Bpsk;
    int m_trim = 0;
    double m_low = 200.0, m_high = 3500.0;
    BandScan m_scan;
    std::array<std::unique_ptr<Receiver>, kMaxChannels> m_rx;
    std::array<Channel, kMaxChannels> m_channels{};
    std::array<BandScan::Signal, 2 * kMaxChannels> m_signals{};
    std::vector<float> m_prime; // the last second of audio, for a channel's first run
    uint64_t m_samples = 0;
    std::size_t m_sinceLook = 0;
    uint32_t m_nextId = 1;
};

} // namespace tavrel::psk31
