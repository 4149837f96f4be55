// The signal browser's cost, measured on the running modem (null source at real time):
//  1. CPU use of the whole process (audio thread, band decoder thread, UI thread, waterfall and
//     browser drawn) as a share of one core, with 32 stations sending text across the band, without
//     and with the band decoder and its panel: the difference is what the browser costs.
//  2. The main receiver's delay, from the last sample of a character to its RxCharRdy, in both.
// Options: --seconds N (length of each run, default 15). Figures on a loaded machine: note the load.

#include "browser/SignalList.h"
#include "browser/widgets/SignalBrowser.h"
#include "modem/PskModem.h"
#include "modem/psk31/Transmitter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace tavrel;

namespace {

constexpr int kStations = 32;
constexpr double kMainHz = 1200.0;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec * 1e-6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec * 1e-6;
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string text(std::size_t n, uint32_t seed) {
    static const char* words[] = {"CQ",    "de",  "G4XYZ", "pse",  "k",    "the",    "rig",  "is",
                                  "about", "25",  "watts", "into", "a",    "dipole", "name", "here",
                                  "Bob",   "and", "QTH",   "near", "York", "73",     "ur",   "599"};
    std::mt19937 random(seed);
    std::string s;
    while (s.size() < n) {
        s += words[random() % std::size(words)];
        s += (random() % 9 == 0) ? "\r\n" : " ";
    }
    return s;
}

// The band: 32 stations 100 Hz apart from 300 Hz, levels from -10 to +20 dB around the main one at
// 1200 Hz, over a little noise; and the sample at which each of the main station's characters ends.
std::vector<float> band(double seconds, std::vector<uint64_t>& mainEnds) {
    const auto length = static_cast<std::size_t>(seconds * 8000);
    std::vector<float> out(length, 0.0f);
    std::vector<float> block(256);
    for (int s = 0; s < kStations; ++s) {
        const double hz = s == 0 ? kMainHz : 300.0 + 100.0 * (s < 10 ? s - 1 : s);
        const double db = s == 0 ? 0.0 : -10.0 + 30.0 * (s % 7) / 6.0;
        psk31::Transmitter tx;
        tx.setFrequency(hz);
        tx.setAmplitude(static_cast<float>(0.02 * std::pow(10.0, db / 20.0)));
        tx.queueText(text(400, 10 + static_cast<uint32_t>(s)));
        tx.start();
        std::vector<uint64_t> starts;
        psk31::TxEcho echoes[64];
        for (std::size_t at = 0; at + 256 <= length; at += 256) {
            tx.generate(block.data(), 256);
            for (std::size_t i = 0; i < 256; ++i)
                out[at + i] += block[i];
            for (std::size_t i = 0, n = tx.takeEchoes(echoes, 64); i < n; ++i)
                starts.push_back(echoes[i].sample);
        }
        if (s == 0 && !starts.empty()) mainEnds.assign(starts.begin() + 1, starts.end());
    }
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 0.002f);
    for (float& v : out)
        v += noise(random);
    return out;
}

struct Figures {
    double share = 0.0;
    std::vector<double> delays;
    std::size_t lines = 0;
};

Figures run(const std::vector<float>& audio, const std::vector<uint64_t>& ends, bool browser, int seconds) {
    PskModem::Options o;
    o.nullSourceInput = audio;
    o.bandDecoder = browser;
    PskModem m(o);
    QWidget* waterfall = m.displayWidget();
    waterfall->resize(800, 160);
    waterfall->show();
    m.SetDisplayRange(200, 3500);
    m.setDisplayType(1);
    m.setRxFreq(static_cast<int>(kMainHz));
    m.setSquelchThreshold(50);
    SignalBrowser panel;
    SignalList list;
    list.setOwnCall("G4XYZ");
    Figures f;
    if (browser) {
        panel.resize(700, 700);
        panel.show();
        QObject::connect(&m, &Modem::BandRdy, [&](const std::vector<HeardSignal>& heard) {
            list.update(heard);
            panel.setLines(list.lines());
            f.lines = std::max(f.lines, list.lines().size());
        });
    }
    QElapsedTimer clock;
    std::size_t got = 0;
    QObject::connect(&m, &Modem::RxCharRdy, [&](int, int) {
        if (got < ends.size()) f.delays.push_back(clock.nsecsElapsed() / 1e6 - ends[got] / 8.0);
        ++got;
    });
    clock.start();
    m.StartModem(-1, 0);
    runFor(4000); // until every station has its channel
    const double c0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    f.share = (cpuSeconds() - c0) / (wall.elapsed() / 1000.0);
    return f;
}

void report(const char* what, const Figures& f) {
    std::vector<double> ms = f.delays;
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s CPU %5.1f %% of one core", what, 100.0 * f.share);
    if (!ms.empty())
        std::printf("   delay median %4.0f ms  p90 %4.0f ms (%zu chars)", ms[ms.size() / 2],
                    ms[ms.size() * 9 / 10], ms.size());
    if (f.lines > 0) std::printf("   %zu lines", f.lines);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 15;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(2, std::atoi(argv[i + 1]));
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::vector<uint64_t> ends;
    const std::vector<float> audio = band(seconds + 6.0, ends);
    const Figures without = run(audio, ends, false, seconds);
    report("32 stations, no browser:", without);
    const Figures with = run(audio, ends, true, seconds);
    report("32 stations, browser shown:", with);
    std::printf("The browser costs %.1f %% of one core\n", 100.0 * (with.share - without.share));
    return 0;
}
