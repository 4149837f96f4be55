#include "BandTables.h"

#include "HfChannel.h"
#include "modem/psk31/SignalKit.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tavrel::psk31::bench {
namespace {

constexpr double kRate = kSampleRate;
constexpr double kWantedHz = 1000.0;
constexpr std::size_t kBlock = 256;

const char* modeName(Mode m) {
    return m == Mode::Bpsk ? "BPSK" : "QPSK";
}

struct Run {
    std::string text;     // characters read while the wanted station sent text
    double worstHz = 0.0; // furthest the receiver was from the station while it was on
    std::size_t all = 0;  // every character read
};

// Runs the receiver over `audio` as the program sets it up (squelch speed slow), with the wanted
// station on the air from sample `start` to `end`. Its first second is the preamble, which carries
// no text (whatever comes out then was decided on what came before), and its last tenth of a second
// is the postamble: the characters read in between are the copy.
Run receive(const std::vector<float>& audio, Mode mode, int afc, int squelch, std::size_t start,
            std::size_t end, double stationHz) {
    Receiver rx;
    rx.setMode(mode);
    rx.setAfcLimit(afc);
    rx.setSquelchSpeed(1);
    rx.setSquelchThreshold(squelch);
    rx.setFrequency(kWantedHz);
    Run run;
    uint8_t buf[256];
    for (std::size_t i = 0; i < audio.size(); i += kBlock) {
        rx.process(audio.data() + i, std::min(kBlock, audio.size() - i));
        const bool copy = i >= start + 8000 && i + 800 <= end;
        for (std::size_t n; (n = rx.readText(buf, sizeof buf)) > 0;) {
            if (copy) run.text.append(buf, buf + n);
            run.all += n;
        }
        if (i >= start && i <= end) run.worstHz = std::max(run.worstHz, std::abs(rx.frequency() - stationHz));
    }
    return run;
}

double cer(const std::string& sent, const std::string& got) {
    return double(kit::editDistance(sent, got)) / sent.size();
}

bool wanted(const BandOptions& o, const std::string& label) {
    return o.only.empty() || label.find(o.only) != std::string::npos;
}

struct Wanted {
    std::string text;
    std::vector<float> audio;
    double power = 0.0;
};

Wanted makeWanted(const BandOptions& o, Mode mode) {
    Wanted w;
    w.text = kit::englishText(o.chars, o.seed);
    w.audio = kit::transmit(w.text, mode, kWantedHz, {}, 0, 0);
    w.power = kit::meanPower(w.audio);
    return w;
}

} // namespace

void runFadingTable(const BandOptions& o) {
    const sim::FadingProfile profiles[] = {sim::kCcirGood, sim::kCcirModerate, sim::kCcirPoor,
                                           sim::kCcirFlutter};
    const double snrs[] = {-9, -6, -3, 0, 3, 6, 10, 15, 20};
    std::printf("Fading: Watterson two-path channel (ITU-R F.1487), AFC 50, squelch 0, %zu characters a "
                "point,\nSNR = mean signal power / noise in 2500 Hz. CER in %%.\n",
                o.chars);
    std::printf("%-9s %-5s", "profile", "mode");
    for (double s : snrs)
        std::printf(" %6.0f", s);
    std::printf("\n");
    std::string csv = "table,profile,mode,snr_db,seed,cer\n";
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        const Wanted w = makeWanted(o, mode);
        for (std::size_t p = 0; p < std::size(profiles); ++p) {
            const std::string label = std::string(profiles[p].name) + " " + modeName(mode);
            if (!wanted(o, label)) continue;
            std::printf("%-9s %-5s", profiles[p].name, modeName(mode));
            for (std::size_t s = 0; s < std::size(snrs); ++s) {
                const uint32_t seed = o.seed + 1000 * (p + 1) + 100 * static_cast<uint32_t>(mode) + s;
                std::vector<float> audio = sim::watterson(w.audio, profiles[p], kRate, seed);
                sim::addWhiteNoise(audio, w.power, snrs[s], kRate, seed + 50);
                const Run r = receive(audio, mode, 50, 0, 0, audio.size(), kWantedHz);
                const double c = cer(w.text, r.text);
                std::printf(" %6.2f", 100 * c);
                std::fflush(stdout);
                char line[160];
                std::snprintf(line, sizeof line, "fading,%s,%s,%.0f,%u,%.6f\n", profiles[p].name,
                              modeName(mode), snrs[s], seed, c);
                csv += line;
            }
            std::printf("\n");
        }
    }
    std::printf("\nCSV\n%s\n", csv.c_str());
}

void runNeighbourTable(const BandOptions& o) {
    const double offsets[] = {-100, -75, -63, -50, -31, 31, 50, 63, 75, 100};
    constexpr double kSnrDb = 3.0, kNeighbourDb = 20.0;
    constexpr std::size_t kEarly = 5 * 8000;  // the neighbour first: it is on 5 s before the wanted
    constexpr std::size_t kLater = 10 * 8000; // the neighbour later: it comes 10 s after the wanted
    std::printf("Neighbour: a BPSK31 station %.0f dB stronger beside the wanted one (+%.0f dB SNR in 2500 "
                "Hz),\nthe receiver clicked on the wanted one, squelch 0, %zu characters a point. "
                "CER in %% / furthest\nthe receiver went from the wanted station while it was on (Hz).\n",
                kNeighbourDb, kSnrDb, o.chars);
    std::printf("%-5s %-6s %4s", "mode", "order", "AFC");
    for (double f : offsets)
        std::printf(" %+11.0f", f);
    std::printf("\n");
    std::string csv = "table,mode,order,afc,offset_hz,seed,cer,worst_hz\n";
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        const Wanted w = makeWanted(o, mode);
        const std::string otherText = kit::englishText(o.chars * 2, o.seed + 7);
        for (int first = 1; first >= 0; --first) {
            for (int afc : {0, 10, 50}) {
                const char* order = first ? "first" : "later";
                const std::string label =
                    std::string(modeName(mode)) + " " + order + " " + std::to_string(afc);
                if (!wanted(o, label)) continue;
                std::printf("%-5s %-6s %4d", modeName(mode), order, afc);
                for (std::size_t k = 0; k < std::size(offsets); ++k) {
                    const uint32_t seed = o.seed + 10000 + 1000 * first + 100 * static_cast<uint32_t>(mode) +
                                          10 * (afc / 10) + static_cast<uint32_t>(k);
                    const std::size_t start = first ? kEarly : 8000;
                    std::vector<float> audio(start, 0.0f);
                    audio.insert(audio.end(), w.audio.begin(), w.audio.end());
                    const std::size_t end = audio.size();
                    audio.resize(end + 4000, 0.0f);
                    const std::vector<float> other =
                        kit::transmit(otherText, Mode::Bpsk, kWantedHz + offsets[k], {}, 0, 0);
                    const double gain =
                        std::sqrt(w.power / kit::meanPower(other) * std::pow(10.0, kNeighbourDb / 10));
                    sim::mixIn(audio, other, first ? 0L : static_cast<long>(start + kLater), gain);
                    sim::addWhiteNoise(audio, w.power, kSnrDb, kRate, seed);
                    const Run r = receive(audio, mode, afc, 0, start, end, kWantedHz);
                    const double c = cer(w.text, r.text);
                    std::printf(" %6.2f/%4.1f", 100 * c, std::min(r.worstHz, 99.9));
                    std::fflush(stdout);
                    char line[160];
                    std::snprintf(line, sizeof line, "neighbour,%s,%s,%d,%.0f,%u,%.6f,%.2f\n", modeName(mode),
                                  order, afc, offsets[k], seed, c, r.worstHz);
                    csv += line;
                }
                std::printf("\n");
            }
        }
    }
    std::printf("\nCSV\n%s\n", csv.c_str());
}

void runSquelchTable(const BandOptions& o) {
    struct Row {
        const char* channel;
        double snrDb;
    };
    const Row rows[] = {{"white", -13}, {"white", -12}, {"white", -11}, {"white", -10}, {"white", -8},
                        {"Good", 0},    {"Good", 3},    {"Good", 6},    {"Good", 10}};
    std::printf("Squelch: CER in %% with squelch 0 and 50 (AFC 50, squelch speed slow), %zu characters a "
                "point;\nwhite noise or Good fading at the SNR in 2500 Hz.\n",
                o.chars);
    std::printf("%-6s %6s %-5s %8s %8s\n", "chan", "SNR", "mode", "sq 0", "sq 50");
    std::string csv = "table,channel,snr_db,mode,seed,cer_sq0,cer_sq50\n";
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        const Wanted w = makeWanted(o, mode);
        for (std::size_t k = 0; k < std::size(rows); ++k) {
            const Row& row = rows[k];
            const std::string label = std::string(row.channel) + " " + modeName(mode);
            if (!wanted(o, label)) continue;
            const uint32_t seed =
                o.seed + 20000 + 100 * static_cast<uint32_t>(mode) + static_cast<uint32_t>(k);
            const bool fading = std::string(row.channel) == "Good";
            // A second of noise before and after the transmission, as between overs.
            std::vector<float> audio(8000, 0.0f);
            const std::vector<float> faded =
                fading ? sim::watterson(w.audio, sim::kCcirGood, kRate, seed) : w.audio;
            audio.insert(audio.end(), faded.begin(), faded.end());
            audio.resize(audio.size() + 8000, 0.0f);
            sim::addWhiteNoise(audio, w.power, row.snrDb, kRate, seed + 50);
            double c[2];
            for (int sq : {0, 1})
                c[sq] = cer(w.text,
                            receive(audio, mode, 50, sq ? 50 : 0, 8000, 8000 + faded.size(), kWantedHz).text);
            std::printf("%-6s %6.0f %-5s %7.2f%% %7.2f%%\n", row.channel, row.snrDb, modeName(mode),
                        100 * c[0], 100 * c[1]);
            std::fflush(stdout);
            char line[160];
            std::snprintf(line, sizeof line, "squelch,%s,%.0f,%s,%u,%.6f,%.6f\n", row.channel, row.snrDb,
                          modeName(mode), seed, c[0], c[1]);
            csv += line;
        }
    }
    // Noise alone: what prints in five minutes with nobody on the frequency.
    std::printf("\nNoise alone, 5 minutes: characters printed\n%-5s %8s %8s\n", "mode", "sq 0", "sq 50");
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        if (!wanted(o, std::string("noise ") + modeName(mode))) continue;
        const uint32_t seed = o.seed + 29000 + static_cast<uint32_t>(mode);
        std::vector<float> audio(300 * 8000, 0.0f);
        sim::addWhiteNoise(audio, 0.3, 0.0, kRate, seed);
        std::size_t n[2];
        for (int sq : {0, 1})
            n[sq] = receive(audio, mode, 50, sq ? 50 : 0, 0, audio.size(), kWantedHz).all;
        std::printf("%-5s %8zu %8zu\n", modeName(mode), n[0], n[1]);
        char line[160];
        std::snprintf(line, sizeof line, "noise,-,-,%s,%u,%zu,%zu\n", modeName(mode), seed, n[0], n[1]);
        csv += line;
    }
    std::printf("\nCSV\n%s\n", csv.c_str());
}

void runClockTable(const BandOptions& o) {
    const double ppms[] = {-1000, -300, 0, 300, 1000};
    constexpr double kSnrDb = -10.0;
    std::printf(
        "Sound-card clock off its rate (the receiver's trim 0), white noise %.0f dB, AFC 50, squelch 0,"
        "\n%zu characters a point. CER in %%.\n",
        kSnrDb, o.chars);
    std::printf("%-5s", "mode");
    for (double p : ppms)
        std::printf(" %+7.0f ppm", p);
    std::printf("\n");
    std::string csv = "table,mode,ppm,seed,cer\n";
    for (Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        if (!wanted(o, std::string("clock ") + modeName(mode))) continue;
        const Wanted w = makeWanted(o, mode);
        std::printf("%-5s", modeName(mode));
        for (std::size_t k = 0; k < std::size(ppms); ++k) {
            const uint32_t seed =
                o.seed + 30000 + 100 * static_cast<uint32_t>(mode) + static_cast<uint32_t>(k);
            std::vector<float> audio = sim::resampleClock(w.audio, ppms[k]);
            sim::addWhiteNoise(audio, w.power, kSnrDb, kRate, seed);
            const Run r = receive(audio, mode, 50, 0, 0, audio.size(), kWantedHz / (1.0 + ppms[k] * 1e-6));
            const double c = cer(w.text, r.text);
            std::printf(" %10.2f%%", 100 * c);
            std::fflush(stdout);
            char line[120];
            std::snprintf(line, sizeof line, "clock,%s,%.0f,%u,%.6f\n", modeName(mode), ppms[k], seed, c);
            csv += line;
        }
        std::printf("\n");
    }
    std::printf("\nCSV\n%s\n", csv.c_str());
}

} // namespace tavrel::psk31::bench
