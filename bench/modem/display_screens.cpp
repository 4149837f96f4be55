// Screenshots of the whole program with each of the five display kinds, a real signal playing
// through the sound loop: for looking at the display as an operator would.
// Run under a sound loop and an X server, e.g.
//   xvfb-run -s "-screen 0 1400x900x24" tests/modem/with_pulse_loop.sh build/bench/modem/display_screens
//   OUTDIR
// Writes OUTDIR/display-<kind>.png (taken with ImageMagick's `import -window root`).

#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/Startup.h"
#include "core/Settings.h"
#include "modem/PskModem.h"
#include "modem/psk31/Transmitter.h"
#include "radio/QtSerialPort.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>

using namespace tavrel;

namespace {

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A busy band: three stations at different strengths over noise, a minute long.
std::vector<int16_t> band() {
    struct Station {
        double hz;
        int mode;
        float amplitude;
        const char* text;
    };
    const Station stations[] = {
        {1200, 0, 0.30f, "CQ CQ CQ de G4ABC G4ABC G4ABC pse k  "},
        {1530, 1, 0.08f, "DL1XYZ de F5AAA rig here is 50 W into a dipole  "},
        {820, 0, 0.04f, "tnx fer QSO 73 es gud DX  "},
    };
    const std::size_t length = 8000 * 70;
    std::vector<float> mix(length, 0.0f);
    for (const Station& s : stations) {
        psk31::Transmitter tx;
        tx.setMode(psk31::modeFromInt(s.mode));
        tx.setFrequency(s.hz);
        tx.setAmplitude(s.amplitude);
        std::string text;
        while (text.size() < 600)
            text += s.text;
        tx.queueText(text);
        tx.start();
        std::vector<float> one(length);
        tx.generate(one.data(), one.size());
        for (std::size_t i = 0; i < length; ++i)
            mix[i] += one[i];
    }
    std::mt19937 random(3);
    std::normal_distribution<float> noise(0.0f, 0.02f);
    std::vector<int16_t> pcm(length);
    for (std::size_t i = 0; i < length; ++i)
        pcm[i] = static_cast<int16_t>(std::clamp(mix[i] + noise(random), -1.0f, 0.999f) * 32768.0f);
    return pcm;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: display_screens OUTDIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir station;
    const std::filesystem::path folder = station.path().toStdString();
    installMissingDataFiles(folder);
    SettingsList s = defaultSettings();
    s[0] = "G4ABC";
    s[2] = "Bob";
    writeSettings(folder / "tavrel.ini", s);

    PskModem modem;
    QtSerialPort comm2;
    Form1 form(folder, modem, comm2);
    Startup startup(form);
    startup.startup();
    form.resize(1400, 900);
    form.show();

    const std::vector<int16_t> pcm = band();
    const QString raw = station.filePath(QStringLiteral("band.raw"));
    {
        QFile f(raw);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(pcm.data()), static_cast<qint64>(pcm.size() * 2));
    }
    QProcess player;
    player.start(QStringLiteral("pacat"),
                 {"--playback", "--format=s16le", "--rate=8000", "--channels=1", raw});
    runFor(12000); // a waterfall's worth of history, and decoded text in the windows

    // From start-up's waterfall, the display button steps through 2, 3, 4, 0, 1.
    for (int kind : {2, 3, 4, 0, 1}) {
        QMetaObject::invokeMethod(form.receiver->display, &QPushButton::click);
        runFor(kind == 1 || kind == 4 ? 14000 : 3000); // waterfalls fill up
        // A fresh station folder has never been backed up (and every settings re-apply says so
        // again): put the reminder away for the picture.
        if (auto* cancel = form.findChild<QPushButton*>(QStringLiteral("Command5"));
            cancel && cancel->isVisible())
            QMetaObject::invokeMethod(cancel, &QPushButton::click);
        runFor(300);
        const QString file = QStringLiteral("%1/display-%2.png").arg(out).arg(kind);
        QProcess::execute(QStringLiteral("import"), {"-window", "root", file});
        std::printf("%s (%s)\n", file.toUtf8().constData(), modem.audioStatus().toUtf8().constData());
    }
    player.kill();
    player.waitForFinished();
    return 0;
}
