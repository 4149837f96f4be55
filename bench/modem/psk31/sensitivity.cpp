// Character error rate against SNR (white noise, 2500 Hz) for BPSK31 and QPSK31, on frequency, 10 Hz
// off and drifting 0.1 Hz/s (AFC on), beside the coherent and differential BPSK limits; and with
// --table, the receiver on simulated short-wave channels (see BandTables.h).
// Usage: psk31_sensitivity [--table white|fading|neighbour|squelch|clock|band] [--chars N] [--seed S]
//                          [--from DB] [--to DB] [--only COLUMN (white) | TEXT in the row labels]
#include "BandTables.h"

#include "HfChannel.h"
#include "modem/psk31/SignalKit.h"
#include "modem/psk31/Varicode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace tavrel::psk31;

namespace {

struct Column {
    const char* name;
    Mode mode;
    double offsetHz;
    double driftHzPerS;
    int afcLimit;
};

// AFC limit 50 Hz (the program's default), except under drift: 5000 characters take 16 minutes, over
// which 0.1 Hz/s carries the signal 95 Hz away, so the limit there is 200 Hz.
const Column kColumns[] = {
    {"BPSK", Mode::Bpsk, 0.0, 0.0, 50},          {"QPSK", Mode::QpskUsb, 0.0, 0.0, 50},
    {"BPSK+10Hz", Mode::Bpsk, 10.0, 0.0, 50},    {"BPSK drift", Mode::Bpsk, 0.0, 0.1, 200},
    {"QPSK+10Hz", Mode::QpskUsb, 10.0, 0.0, 50}, {"QPSK drift", Mode::QpskUsb, 0.0, 0.1, 200},
    {"BPSK noAFC", Mode::Bpsk, 0.0, 0.0, 0},     {"QPSK noAFC", Mode::QpskUsb, 0.0, 0.0, 0},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

double qfunc(double x) {
    return 0.5 * std::erfc(x / std::sqrt(2.0));
}

// Character errors from a bit error rate for text of `bitsPerChar` bits (code and "00").
double cerFromBer(double ber, double bitsPerChar) {
    return 1.0 - std::pow(1.0 - ber, bitsPerChar);
}

double ebn0FromSnr(double snrDb) {
    return std::pow(10.0, (snrDb + 10.0 * std::log10(2500.0 / kBaud)) / 10.0);
}

double theoryDbpsk(double snrDb, double bpc) {
    return cerFromBer(0.5 * std::exp(-ebn0FromSnr(snrDb)), bpc);
}
double theoryCoherent(double snrDb, double bpc) {
    return cerFromBer(qfunc(std::sqrt(2.0 * ebn0FromSnr(snrDb))), bpc);
}

// The SNR at which a falling CER curve crosses `target` (log-linear interpolation), or NaN.
double snrAt(const std::vector<double>& snr, const std::vector<double>& cer, double target) {
    for (std::size_t i = 1; i < snr.size(); ++i) {
        if (cer[i - 1] >= target && cer[i] < target) {
            const double a = std::log(std::max(cer[i - 1], 1e-6)), b = std::log(std::max(cer[i], 1e-6));
            const double t = (std::log(target) - a) / (b - a);
            return snr[i - 1] + t * (snr[i] - snr[i - 1]);
        }
    }
    return NAN;
}

// The SNR at which a theory curve gives `cer` (bisection), for the gap to the limit.
template <typename F> double theorySnrFor(F theory, double cer, double bpc) {
    double lo = -30.0, hi = 10.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (theory(mid, bpc) > cer ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t chars = 0; // 5000 for the white-noise table, 1600 for the others
    uint32_t seed = 20261207;
    double from = -16.0, to = -4.0;
    std::string only; // run one column (its name, e.g. "QPSK+10Hz"); the others print as "-"
    std::string table = "white";

    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--table"))
            table = argv[i + 1];
        else if (!std::strcmp(argv[i], "--chars"))
            chars = std::strtoul(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed"))
            seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (!std::strcmp(argv[i], "--from"))
            from = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--to"))
            to = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--only"))
            only = argv[i + 1];
    }
    if (table != "white") {
        const tavrel::psk31::bench::BandOptions band{chars ? chars : 1600, seed, only};
        const bool all = table == "band";
        if (all || table == "fading") tavrel::psk31::bench::runFadingTable(band);
        if (all || table == "neighbour") tavrel::psk31::bench::runNeighbourTable(band);
        if (all || table == "squelch") tavrel::psk31::bench::runSquelchTable(band);
        if (all || table == "clock") tavrel::psk31::bench::runClockTable(band);
        return 0;
    }
    if (chars == 0) chars = 5000;
    const std::string text = kit::englishText(chars, seed);
    double bits = 0;
    for (char c : text)
        bits += varicodeOf(static_cast<uint8_t>(c)).length + 2;
    const double bpc = bits / text.size();

    std::printf("PSK31 sensitivity: %zu characters of English per point (%.2f bits/char), seed %u\n", chars,
                bpc, seed);
    std::printf("SNR = mean signal power / noise power in 2500 Hz. CER = edit distance / characters sent.\n");
    std::printf("Limits: ideal coherent BPSK and ideal differential BPSK (DBPSK) at the same bits/char.\n\n");

    std::vector<double> snrs;
    for (double s = from; s <= to + 1e-9; s += 1.0)
        snrs.push_back(s);
    std::vector<std::vector<double>> cer(kColumnCount, std::vector<double>(snrs.size()));

    for (int c = 0; c < kColumnCount; ++c) {
        const Column& col = kColumns[c];
        if (!only.empty() && only != col.name) {
            std::fill(cer[c].begin(), cer[c].end(), NAN);
            continue;
        }
        const kit::Channel ch{.offsetHz = col.offsetHz, .driftHzPerS = col.driftHzPerS};
        const std::vector<float> clean = kit::transmit(text, col.mode, 1000.0, ch, 0, 0);
        const double power = kit::meanPower(clean);
        for (std::size_t i = 0; i < snrs.size(); ++i) {
            std::vector<float> audio = clean;
            sim::addWhiteNoise(audio, power, snrs[i], kSampleRate, seed + static_cast<uint32_t>(i * 131 + c));
            kit::RxSetup rx;
            rx.mode = col.mode;
            rx.afcLimit = col.afcLimit;
            const std::string got = kit::receive(audio, rx);
            cer[c][i] = double(kit::editDistance(text, got)) / text.size();
        }
        std::fprintf(stderr, "%s done\n", col.name);
    }

    std::printf("%6s %8s %8s", "SNR dB", "coh.lim", "DBPSKlim");
    for (const Column& col : kColumns)
        std::printf(" %10s", col.name);
    std::printf(" %9s\n", "BPSKgap");
    for (std::size_t i = 0; i < snrs.size(); ++i) {
        std::printf("%6.1f %7.3f%% %7.3f%%", snrs[i], 100 * theoryCoherent(snrs[i], bpc),
                    100 * theoryDbpsk(snrs[i], bpc));
        for (int c = 0; c < kColumnCount; ++c)
            std::printf(" %9.3f%%", 100 * cer[c][i]);
        // How far our BPSK is from the DBPSK limit at the CER it reached here.
        const double measured = cer[0][i];
        if (measured > 0 && measured < 0.9)
            std::printf(" %+8.2f dB", snrs[i] - theorySnrFor(theoryDbpsk, measured, bpc));
        else
            std::printf(" %11s", "-");
        std::printf("\n");
    }

    std::printf("\nSNR (dB) for a given character error rate:\n%12s %8s %8s", "CER", "coh.lim", "DBPSKlim");
    for (const Column& col : kColumns)
        std::printf(" %10s", col.name);
    std::printf("\n");
    for (double target : {0.05, 0.01}) {
        std::printf("%11.0f%% %8.2f %8.2f", 100 * target, theorySnrFor(theoryCoherent, target, bpc),
                    theorySnrFor(theoryDbpsk, target, bpc));
        for (int c = 0; c < kColumnCount; ++c)
            std::printf(" %10.2f", snrAt(snrs, cer[c], target));
        std::printf("\n");
    }

    std::printf("\nCSV\nsnr_db,coherent_limit,dbpsk_limit");
    for (const Column& col : kColumns) {
        std::string name = col.name;
        for (char& ch : name)
            ch = (ch == ' ' || ch == '+') ? '_' : static_cast<char>(std::tolower(ch));
        std::printf(",%s", name.c_str());
    }
    std::printf("\n");
    for (std::size_t i = 0; i < snrs.size(); ++i) {
        std::printf("%.1f,%.6f,%.6f", snrs[i], theoryCoherent(snrs[i], bpc), theoryDbpsk(snrs[i], bpc));
        for (int c = 0; c < kColumnCount; ++c)
            std::printf(",%.6f", cer[c][i]);
        std::printf("\n");
    }
    return 0;
}
