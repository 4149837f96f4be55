#pragma once
// Finds every PSK31 signal in a span of the audio band, for the band decoder.
//
// Every look transforms the newest second of audio (8192 samples, 0.98 Hz bins) and keeps a
// running mean of the power spectra over about two seconds, so the lumpy spectrum of text and the
// noise settle. A signal is a peak of the power within +/-20 Hz (wide enough to hold both tones of
// idle reversals) that stands at least as high again as the noise there, is symmetric about its
// centre (a neighbour's skirt lies to one side only) and is the strongest within 40 Hz: signals
// closer than that count as one. The noise floor is read locally (a low quantile over 400 Hz), as
// a receiver's filter shapes it across the band.
//
// BPSK and QPSK look alike here; the decoder decides how to read them. Plain single-threaded
// object, no allocation after construction; construct and destroy it on one thread at a time with
// other FFTW users.

#include "modem/psk31/RecentSpectrum.h"

#include <cstddef>
#include <vector>

namespace tavrel::psk31 {

class BandScan {
public:
    static constexpr std::size_t kLength = RecentSpectrum::kLength; // samples transformed
    static constexpr double kApartHz = 40.0;                        // peaks closer than this are one signal
    static constexpr double kMinStrength = 1.0; // core power over the noise there, to count

    struct Signal {
        double hz = 0.0;       // centre, within a few Hz (the receiver finds it exactly)
        double strength = 0.0; // power within +/-20 Hz over the noise in the same width
    };

    BandScan();

    // Centres are looked for between lowHz and highHz (swapped if backwards, kept inside the
    // receivers' 200..3500 Hz). Starts the running mean afresh.
    void setRange(double lowHz, double highHz);
    // Sound-card clock error in ppm, so the Hz found are true.
    void setTrim(int ppm);

    // Keeps the newest kLength samples.
    void push(const float* in, std::size_t n) { m_recent.push(in, n); }
    // Copies them, oldest first, to out[0..kLength).
    void copyRecent(float* out) const { m_recent.copyRecent(out); }

    // Transforms what push() kept, adds it to the running mean and writes the signals found,
    // strongest first, to out; returns how many (at most max).
    std::size_t look(Signal* out, std::size_t max);
    // After a look: the strength at `hz` in that look alone (no mean), which shows a signal that
    // has gone at once.
    double strengthNow(double hz) const;

private:
    double floorAt(long bin) const;

    double m_low = 200.0, m_high = 3500.0;
    double m_rate;
    RecentSpectrum m_recent;
    std::vector<double> m_power; // power in each bin in the last look
    std::vector<double> m_mean;  // running mean of the power in each bin
    std::vector<double> m_score; // power within the core around each bin
    std::vector<double> m_floors;
    std::vector<double> m_sorted;
    std::vector<Signal> m_found;
    int m_looks = 0;
    long m_first = 0, m_last = -1; // bins read
    long m_segment = 1;            // bins per noise-floor segment
};

} // namespace tavrel::psk31
