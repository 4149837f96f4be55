#pragma once
// PSK31 receiver: audio at 8000 samples/s -> decoded characters, with AFC, signal search, a signal
// level for the squelch and IMD readings on the idle signal.
//
// Chain: mix the chosen centre to 0 Hz, low-pass and decimate by 16 (500 samples/s, 16 per symbol),
// a channel filter (the least-squares symbol estimator for white noise and a station 50 Hz away,
// 20 dB stronger: as good as a matched filter and equaliser in noise, far better beside a strong
// neighbour; see ChannelFilter.h), recover symbol timing from the symbol-rate line in the signal's
// energy and interpolate the symbol instants. BPSK then compares each symbol with a phase reference
// predicted from the symbols before it (PhaseReference.h): a long average on a steady channel,
// which comes close to coherent detection, the last symbol or a line through the last few when the
// channel fades. QPSK feeds the symbols to a soft-decision Viterbi decoder whose survivor paths keep
// references of their own, with the memory the same predictors find best. Varicode turns bits into
// characters.
//
// AFC (ReceiverAfc.cpp), in two states. Acquiring, after a click, a mode change or a long loss:
// the spectrum of the last second shows the PSK31 signal nearest the click within 25 Hz (or the
// AFC limit), taking the centre of a symmetric spectrum only, so the skirt of a strong neighbour
// further out is never taken; the receiver steps onto it (on idle reversals, a sure peak, or two
// looks a second apart that agree) and pulls in the last Hz or two by the fourth-power (QPSK) or
// squared (BPSK) phase changes. Tracking, once the decoder reads: a decision-directed loop with a
// drift integrator follows the station's own phase, as far as the decoder reads cleanly, and holds
// still when nothing decodes; other stations' energy plays no part. The frequency never moves
// further than the AFC limit from the frequency set.
//
// Level and squelch (Squelch.h): level = 100 q^0.576 for the decoder's signal quality q, which puts
// 50 (the start-up squelch) at -13 dB SNR in 2500 Hz, where copy is still useful: in white noise
// about 23 at -16 dB (QPSK 15), 50 at -13 dB (QPSK 47), 72 at -10 dB, 88 at -6 dB, 97 at 0 dB; noise
// alone averages under 10 and stays under 40. The squelch opens when the level reaches the
// threshold; characters decoded while the copy is poor are held back and follow when good copy
// returns within the hang time (1.5 s, or the squelch speed's time if longer), else are dropped.
//
// Plain single-threaded object: no locks, no threads, no allocation in process(). Construct and
// destroy it on one thread at a time with other FFTW users (FFTW's planner is not thread-safe).

#include "modem/psk31/Convolutional.h"
#include "modem/psk31/PhaseReference.h"
#include "modem/psk31/Psk31.h"
#include "modem/psk31/Search.h"
#include "modem/psk31/Squelch.h"
#include "modem/psk31/Varicode.h"

#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavrel::psk31 {

class Receiver {
public:
    static constexpr std::size_t kTextCapacity = 4096;
    static constexpr int kMaxAfcLimitHz = 1000;
    static constexpr int kMaxSearchRangeHz = 500;

    Receiver();

    // Modulation: BPSK, QPSK on the upper or lower sideband. Resets the decoder.
    void setMode(Mode mode);
    Mode mode() const { return m_mode; }

    // New centre frequency in Hz (clamped to 200..3500). With a search range set, the receiver first
    // snaps to the PSK31 signal nearest that frequency within the range, using the last second of
    // audio. Starts acquiring there.
    void setFrequency(double hz);
    // The frequency the receiver is on now (after search and AFC), in Hz.
    double frequency() const;

    // AFC: follows the signal up to this many Hz away from the frequency set (0 = AFC off,
    // clamped to 0..1000; a hard bound, applied at once when lowered). It pulls in a signal up to
    // 25 Hz off and tracks drift up to 0.3 Hz/s. With the AFC off the decoders still follow a signal
    // a little off (BPSK up to about 4 Hz, QPSK about 1.5 Hz).
    void setAfcLimit(int hz);
    int afcLimit() const { return m_afcLimit; }

    // Search range in Hz for setFrequency() (0 = off, clamped to 0..500).
    void setSearchRange(int hz);
    int searchRange() const { return m_searchRange; }

    // Sound-card clock error in ppm (-1000..1000), see trimmedRate().
    void setTrim(int ppm);

    // Squelch threshold 0..100 on the signalLevel() scale (0 = always open); see above.
    void setSquelchThreshold(int threshold);
    // How fast the level falls back when a signal goes (it rises within about half a second):
    // 0 = fast (0.25 s), 1 = slow (1 s), any other value v = v * 10 ms, clamped to 10..200 (0.1..2 s).
    void setSquelchSpeed(int speed);

    // Feeds audio at 8000 samples/s (the card's nominal rate).
    void process(const float* in, std::size_t n);

    // Moves up to `max` decoded characters (ASCII 0..127) into `out`; returns how many. At most
    // kTextCapacity wait; beyond that the oldest are dropped.
    std::size_t readText(uint8_t* out, std::size_t max);

    // 0..100 on the scale above: read from how cleanly the phase changes fall on the constellation
    // (BPSK) or agree with the decoded ones (QPSK), averaged over about half a second; it falls
    // back at the squelch speed.
    int signalLevel() const { return static_cast<int>(m_squelch.level() + 0.5f); }
    bool squelchOpen() const { return m_squelch.open(); }

    // The newest IMD reading in dB (negative; e.g. -28), taken about once a second on the idle
    // reversals of a strong signal, or nothing. Each reading is returned once.
    std::optional<double> takeImd();

    // The newest phase changes between symbols (unit phasors, oldest first; the lower sideband turned
    // back) for a phase scope: up to `max` of the last kPhaseCapacity. Reading does not consume them.
    static constexpr std::size_t kPhaseCapacity = 64;
    std::size_t recentPhases(std::complex<float>* out, std::size_t max) const;
    // Symbols decided since construction; tells a reader whether new phases came.
    uint64_t symbolCount() const { return m_symbolCount; }

private:
    static constexpr int kDecimation = 16;
    static constexpr int kDecTaps = 208; // even, and a multiple of 4 (paired taps, two sums)
    static constexpr int kChannelSymbols = 6;
    static constexpr int kChannelTaps = kChannelSymbols * kDecimation + 1;
    static constexpr std::size_t kImdLength = 512; // 32 symbols at 500 samples/s
    static constexpr std::size_t kYRing = 64;
    static constexpr float kQualityAlpha = 1.0f / 16.0f; // ~0.5 s
    static constexpr float kRecentAlpha = 1.0f / 4.0f;   // the last few symbols

    void updateNco();
    void resetDecoder();
    void onBaseband(std::complex<float> x);
    void onMatched(std::complex<float> y);
    void onSymbol(std::complex<float> y);
    void trackTurn(std::complex<float> left);
    std::complex<float> turnPerSymbol() const;
    void updateQuality(std::complex<float> z);
    void updateQpskQuality(std::complex<float> z, std::complex<float> expected);
    void setQuality(float quality, float recentQuality);
    void pushText(uint8_t c);
    // The squared size of a mean of unit phasors, less what random ones leave (0 noise, 1 clean).
    static float unbiased(std::complex<float> mean, float alpha = kQualityAlpha);
    void restartAfc(double anchorHz);
    void retune(double hz);
    void updateAfc(std::complex<float> z, std::optional<float> errRad);
    void acquireAfc();
    void startTracking();
    void pullIn();
    void trackAfc(std::optional<float> errRad);
    void trackIdle(std::complex<float> z);
    void deliver(int bit);

    Mode m_mode = Mode::Bpsk;
    double m_setFreq = 1000.0;
    double m_freq = 1000.0;
    int m_afcLimit = 0;
    int m_searchRange = 0;
    int m_trim = 0;
    double m_rate = kSampleRate;

    // Mixer and decimator.
    std::complex<double> m_osc{1.0, 0.0};
    std::complex<double> m_oscStep{1.0, 0.0};
    std::array<float, kDecTaps> m_decTaps{};
    std::array<std::complex<float>, 2 * kDecTaps> m_decRing{};
    int m_decPos = 0;
    int m_decPhase = 0;

    // Channel filter and the raw baseband kept for IMD.
    std::array<float, kChannelTaps> m_chTaps{};
    std::array<std::complex<float>, 2 * kChannelTaps> m_chRing{};
    int m_chPos = 0;
    std::array<std::complex<float>, kImdLength> m_imdRing{};
    std::size_t m_imdPos = 0;

    // Timing recovery.
    std::array<std::complex<float>, kYRing> m_y{};
    uint64_t m_n = 0;
    double m_period = 16.0; // samples per symbol at the decimated rate
    double m_nextSymbol = 16.0;
    std::complex<double> m_timingPhasor{1.0, 0.0};
    std::complex<double> m_timingStep{1.0, 0.0};
    std::complex<double> m_timingLine{0.0, 0.0};

    // AFC.
    enum class AfcState { Acquiring, Tracking };
    AfcState m_afcState = AfcState::Acquiring;
    double m_afcAnchor = 1000.0;      // where acquiring looks for a signal
    std::array<double, 5> m_lookHz{}; // what the last looks at the spectrum saw (Hz, or far off)
    int m_looks = 0;
    bool m_signalNear = false;   // the last look saw a signal within the pull-in range
    int m_movedAt = 0;           // when acquiring last moved to what the spectrum showed
    int m_staleSymbols = 0;      // decided errors still from before the last move
    int m_afcSymbols = 0;        // symbols since the AFC last changed state
    float m_afcMagnitude = 0.0f; // slow mean of |phase change|, to hold the AFC when input stops
    std::complex<float> m_afcCoherence{0.0f, 0.0f};
    std::complex<float> m_ndaMean{0.0f, 0.0f}; // the same over a second, for the pull-in
    float m_afcQuality = 0.0f;                 // the decoder's quality over a quarter second
    int m_unlockedSymbols = 0;
    int m_lockedSymbols = 0;
    double m_afcDrift = 0.0; // Hz per symbol

    // Symbols.
    std::complex<float> m_prevSymbol{0.0f, 0.0f};
    PhaseReference m_reference;             // BPSK's, and for QPSK the scores that set the decoder's memory
    float m_lastSign = 1.0f;                // BPSK: the sign decided for the last symbol
    std::complex<float> m_turn{1.0f, 0.0f}; // mean phase turn per symbol left by the decided data
    float m_zScale = 0.0f;
    ViterbiDecoder m_viterbi{0.7f};
    VaricodeDecoder m_varicode;
    // QPSK: phase changes kept until the Viterbi decoder decides them, and the decided bits
    // re-encoded, so the signal quality is read against the decoded symbols.
    std::array<std::complex<float>, 32> m_zHist{};
    std::array<std::complex<float>, 32> m_symbolHist{}; // as the decoder was given them
    std::complex<float> m_decodedPhase{1.0f, 0.0f};     // the decoded changes summed up
    uint32_t m_symbols = 0;
    ConvEncoder m_reEncoder;

    // Signal quality: 0 on noise, 1 on a clean signal, about exp(-4 var) for a phase-change noise
    // variance var (radians^2) in both modes.
    std::complex<float> m_coherence{0.0f, 0.0f}; // BPSK: mean of the squared unit phase changes
    std::complex<float> m_recentCoherence{0.0f, 0.0f};
    float m_agreement = 0.0f; // QPSK: mean cosine against the decoded changes
    float m_recentAgreement = 0.0f;
    float m_quality = 0.0f;
    float m_trustAgreement = 0.0f; // QPSK: the agreement over a quarter second,
    float m_decodeTrust = 0.0f;    // and it shaped 0..1 (noise .. clean)
    Squelch m_squelch;

    // IMD.
    int m_reversals = 0;
    std::optional<double> m_imd;

    std::array<std::complex<float>, kPhaseCapacity> m_phases{};
    uint64_t m_symbolCount = 0;

    std::array<uint8_t, kTextCapacity> m_text{};
    std::size_t m_textHead = 0;
    std::size_t m_textCount = 0;

    SignalSearch m_search;
};

} // namespace tavrel::psk31
