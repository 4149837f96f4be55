#pragma once
// Finds the PSK31 signal nearest a frequency in the last second of audio.

#include "modem/psk31/RecentSpectrum.h"

#include <array>
#include <cstddef>
#include <vector>

namespace tavrel::psk31 {

class SignalSearch {
public:
    static constexpr std::size_t kLength = RecentSpectrum::kLength;

    // Not thread-safe to construct or destroy alongside other FFTW plans (FFTW's planner is global).
    SignalSearch();

    // Keeps the newest kLength samples.
    void push(const float* in, std::size_t n);

    struct Result {
        double hz = 0.0;        // centre of the signal found, or the centre asked about
        double strength = 0.0;  // power in the signal's core over the noise there (0 = nothing)
        bool reversals = false; // idle reversals (or a preamble) showed: the centre is exact
    };

    // The centre (Hz) of the PSK31 signal whose centre lies nearest centreHz, within rangeHz of it,
    // or centreHz itself when no signal stands out of the noise there. A signal counts when its
    // spectrum peaks inside the range and falls away on both sides: the skirt of a strong station
    // further out is not one, however much power it brings into the range. `rateHz` is the true
    // sample rate of the pushed audio.
    Result search(double centreHz, double rangeHz, double rateHz);
    // After a search: the same search on the running mean of the spectra of the searches since the
    // place or range searched last changed (or since resetAverage()), which shows a weak signal,
    // and the true centre of QPSK text, more surely than one second does. Nothing until it holds
    // eight of them.
    Result averaged();
    void resetAverage() { m_averaged = 0; }

    // After a search: how far the power within +/-17 Hz of `hz` leans to one side, from -1 (all
    // below) through 0 (balanced, as a PSK31 signal centred there) to 1 (all above).
    double lean(double hz, double rateHz) const;
    double find(double centreHz, double rangeHz, double rateHz) {
        return search(centreHz, rangeHz, rateHz).hz;
    }

private:
    struct Range {
        double centreHz = 0.0, rangeHz = 0.0, binHz = 1.0;
        long lo = 0, hi = 0, first = 0, last = -1; // bins: peaks looked for, and all that is read
    };
    Result scan(const std::vector<double>& power, double floor);

    RecentSpectrum m_recent;
    std::vector<double> m_power;
    std::vector<double> m_score;
    std::vector<double> m_sorted;
    std::array<Result, 16> m_candidates{};
    Range m_range;
    std::vector<double> m_average;
    double m_averageFloor = 0.0;
    double m_averageCentre = 0.0;
    double m_averageRange = 0.0;
    int m_averaged = 0;
    double m_floor = 0.0; // noise power a bin in the last search
    long m_powerFrom = 0; // the bins of m_power it filled
    long m_powerTo = -1;
};

} // namespace tavrel::psk31
