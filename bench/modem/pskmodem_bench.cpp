// The running modem component, measured:
//  1. CPU use while receiving with the waterfall drawn, as a share of one core (the whole process:
//     audio thread, UI thread, drawing), on the null source and, under a sound server, on the card.
//  2. Delay from the last sample of a character (the end of its "00") to its RxCharRdy: on the null
//     source (the decoder and the threads) and through the sound server's loop (everything a
//     station has: output and input buffers too).
// Run plainly for the null-source figures; run under tests/modem/with_pulse_loop.sh for all.
// Options: --seconds N (length of each CPU run, default 20).

#include "modem/PskModem.h"
#include "modem/display/ModemDisplay.h"
#include "modem/psk31/Transmitter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace tavrel;

namespace {

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

std::string text(std::size_t n) {
    static const char* words[] = {"the",  "rig", "is",     "running", "about", "25", "watts",
                                  "into", "a",   "dipole", "name",    "here",  "is", "Bob",
                                  "and",  "QTH", "near",   "York",    "73",    "de"};
    std::mt19937 random(7);
    std::string s;
    while (s.size() < n) {
        s += words[random() % 20];
        s += (random() % 9 == 0) ? "\r\n" : " ";
    }
    return s;
}

// Audio of `s` at 1200 Hz with a little noise, and the sample at which each character ends.
std::vector<float> audio(const std::string& s, std::vector<uint64_t>& charEnds) {
    psk31::Transmitter tx;
    tx.setFrequency(1200);
    tx.setAmplitude(0.5f);
    tx.queueText(s);
    tx.start();
    tx.endWhenDrained();
    std::vector<float> out(8000, 0.0f);
    std::vector<uint64_t> starts;
    float block[256];
    psk31::TxEcho echoes[64];
    while (tx.state() == psk31::TxState::Transmitting) {
        tx.generate(block, 256);
        out.insert(out.end(), block, block + 256);
        for (std::size_t i = 0, n = tx.takeEchoes(echoes, 64); i < n; ++i)
            starts.push_back(echoes[i].sample + 8000);
    }
    // A character ends where the next begins.
    charEnds.assign(starts.begin() + 1, starts.end());
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 0.005f);
    for (float& v : out)
        v += noise(random);
    return out;
}

void report(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%-44s no characters\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %6.0f ms   p90 %6.0f ms   (%zu characters)\n", what, ms[ms.size() / 2],
                ms[ms.size() * 9 / 10], ms.size());
}

QWidget* showWaterfall(PskModem& m) {
    QWidget* w = m.displayWidget();
    w->resize(800, 160);
    w->show();
    m.SetDisplayRange(0, 3000);
    m.setDisplayType(1);
    return w;
}

double cpuShare(int seconds) {
    runFor(1000);
    const double c0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    return (cpuSeconds() - c0) / (wall.elapsed() / 1000.0);
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 20;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(2, std::atoi(argv[i + 1]));
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const bool sound = std::getenv("PULSE_SERVER") != nullptr;
    const std::string s = text(400);
    std::vector<uint64_t> ends;
    const std::vector<float> signal = audio(s, ends);

    // 1 + 2 on the null source: the signal plays at real time, the waterfall is drawn.
    {
        PskModem::Options o;
        o.nullSourceInput = signal;
        PskModem m(o);
        showWaterfall(m);
        m.setRxFreq(1200);
        m.setSquelchThreshold(50);
        QElapsedTimer clock;
        std::vector<double> delays;
        std::size_t got = 0;
        QObject::connect(&m, &Modem::RxCharRdy, [&](int, int) {
            if (got < ends.size()) delays.push_back(clock.nsecsElapsed() / 1e6 - ends[got] / 8.0);
            ++got;
        });
        clock.start();
        m.StartModem(-1, 0);
        const double share = cpuShare(seconds);
        std::printf("CPU, receiving, waterfall drawn, null source:  %5.1f %% of one core\n", 100.0 * share);
        report("Delay, last sample to RxCharRdy, null source:", delays);
    }
    if (!sound) {
        std::printf(
            "(no PULSE_SERVER: run under tests/modem/with_pulse_loop.sh for the sound-card figures)\n");
        return 0;
    }

    // 1 on the sound card: the signal played into the loop by pacat, another process.
    {
        QTemporaryFile raw;
        raw.open();
        std::vector<int16_t> pcm(signal.size());
        for (std::size_t i = 0; i < signal.size(); ++i)
            pcm[i] = static_cast<int16_t>(std::clamp(signal[i], -1.0f, 0.999f) * 32768.0f);
        raw.write(reinterpret_cast<const char*>(pcm.data()), static_cast<qint64>(pcm.size() * 2));
        raw.flush();
        PskModem m;
        showWaterfall(m);
        m.setRxFreq(1200);
        m.StartModem(-1, 1);
        QProcess player;
        player.start("pacat",
                     {"--playback", "--format=s16le", "--rate=8000", "--channels=1", raw.fileName()});
        const double share = cpuShare(seconds);
        player.kill();
        player.waitForFinished();
        std::printf("CPU, receiving, waterfall drawn, sound card:   %5.1f %% of one core (%s)\n",
                    100.0 * share, m.audioStatus().toUtf8().constData());
    }

    // 2 through the loop: one modem sends, another decodes; a character's last sample goes on the
    // air when the next one's first does, which the sender reports as its echo.
    {
        PskModem sender, receiver;
        receiver.setRxFreq(1200);
        receiver.setSquelchThreshold(50);
        sender.setTxFreq(1200);
        receiver.StartModem(-1, 1);
        sender.StartModem(-1, 1);
        runFor(500);
        QElapsedTimer clock;
        clock.start();
        std::vector<double> echoAt, heardAt;
        QObject::connect(&sender, &Modem::RxCharRdy,
                         [&](int, int) { echoAt.push_back(clock.nsecsElapsed() / 1e6); });
        QObject::connect(&receiver, &Modem::RxCharRdy,
                         [&](int, int) { heardAt.push_back(clock.nsecsElapsed() / 1e6); });
        const std::string sent = s.substr(0, 120);
        sender.SendText(sent);
        sender.StartTx(0);
        sender.EndTx();
        QElapsedTimer guard;
        guard.start();
        while ((sender.txState() == 1 || echoAt.empty()) && guard.elapsed() < 120000)
            runFor(50);
        runFor(2000);
        std::vector<double> delays;
        for (std::size_t k = 0; k + 1 < echoAt.size() && k < heardAt.size(); ++k)
            delays.push_back(heardAt[k] - echoAt[k + 1]);
        report("Delay, last sample to RxCharRdy, sound loop:", delays);
        std::printf("(%zu sent, %zu heard)\n", sent.size(), heardAt.size());
    }
    return 0;
}
