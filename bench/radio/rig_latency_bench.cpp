// The main window driving a rig through Hamlib's network rig and a local rigctld (dummy rig):
//
// - band click to rig: time from a band button's click until rigctld reports the new frequency
//   to a second client of its own that asks it every millisecond;
// - window thread: a 1 ms timer on the window's thread records every gap between its ticks, while
//   the rig answers, while rigctld is stopped (SIGSTOP: every rig call runs into its timeout),
//   while it is gone (killed) and while it comes back; besides, every call the window makes into
//   rig control (band click, PTT, settings) is timed on its own.
//
// Usage: rig_latency_bench [clicks]   (default 40)

#include "radio/widgets/RadioControl.h"
#include "radio/widgets/RigControl.h"
#include "support/FormHarness.h"
#include "support/Rigctld.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <QApplication>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tavrel;

namespace {

// A second client of rigctld on a thread of its own: asks "f" every millisecond and keeps the
// last answer with the time it first came.
class DialWatcher {
public:
    explicit DialWatcher(int port) : m_thread([this, port] { run(port); }) {}
    ~DialWatcher() {
        m_stop = true;
        m_thread.join();
    }
    // Nanoseconds (steady clock) at which the dial was first seen at hz, or -1.
    long long seenAt(long long hz) const { return m_hz == hz ? m_since.load() : -1; }

private:
    void run(int port) {
        int fd = -1;
        while (!m_stop) {
            if (fd < 0) {
                fd = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_port = htons(static_cast<uint16_t>(port));
                a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                    ::close(fd);
                    fd = -1;
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    continue;
                }
                timeval tv{0, 200000};
                ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            }
            char buf[64];
            if (::write(fd, "f\n", 2) != 2) {
                ::close(fd);
                fd = -1;
                continue;
            }
            const ssize_t n = ::read(fd, buf, sizeof buf - 1);
            if (n <= 0) {
                ::close(fd);
                fd = -1;
                continue;
            }
            buf[n] = 0;
            const long long hz = std::atoll(buf);
            if (hz != m_hz) {
                m_since = std::chrono::steady_clock::now().time_since_epoch().count();
                m_hz = hz;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (fd >= 0) ::close(fd);
    }
    std::atomic<bool> m_stop{false};
    std::atomic<long long> m_hz{0}, m_since{0};
    std::thread m_thread;
};

// Gaps between the ticks of a 1 ms timer on the window's thread.
class TickProbe {
public:
    TickProbe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0) m_gaps.push_back(static_cast<double>(now - m_last) / 1e6);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    void reset() {
        m_gaps.clear();
        m_last = -1;
    }
    void report(const char* what) {
        std::vector<double> g = m_gaps;
        std::sort(g.begin(), g.end());
        if (g.empty()) return;
        const auto at = [&](double q) {
            return g[std::min(g.size() - 1, static_cast<size_t>(q * g.size()))];
        };
        std::printf("  %-34s %6zu ticks: gap median %.2f ms, 99.9%% %.2f ms, max %.2f ms\n", what, g.size(),
                    at(0.5), at(0.999), g.back());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    std::vector<double> m_gaps;
};

// Times every event the window's thread handles; those for the rig controller (the worker's
// read-backs and trouble reports) apart, and the slowest of all with what they were.
class TimingApp : public QApplication {
public:
    using QApplication::QApplication;
    QObject* rig = nullptr;
    std::vector<double> rigEvents;
    struct Slow {
        double ms;
        std::string what;
    };
    std::vector<Slow> slowest;

    bool notify(QObject* receiver, QEvent* e) override {
        if (m_depth++ > 0) {
            const bool r = QApplication::notify(receiver, e);
            --m_depth;
            return r;
        }
        QElapsedTimer t;
        t.start();
        const bool r = QApplication::notify(receiver, e);
        --m_depth;
        const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (receiver == rig && e->type() == QEvent::MetaCall) rigEvents.push_back(ms);
        if (ms > 2.0) {
            slowest.push_back({ms, std::string(receiver->metaObject()->className()) + " '" +
                                       receiver->objectName().toStdString() + "' event " +
                                       std::to_string(static_cast<int>(e->type()))});
            std::sort(slowest.begin(), slowest.end(),
                      [](const Slow& a, const Slow& b) { return a.ms > b.ms; });
            if (slowest.size() > 5) slowest.pop_back();
        }
        return r;
    }

private:
    int m_depth = 0;
};

// Runs the event loop, never sleeping past a timer, until pred holds or ms have passed.
bool spinUntil(const std::function<bool()>& pred, int ms) {
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (pred() || t.elapsed() >= ms) loop.quit();
    });
    check.start();
    if (!pred()) loop.exec();
    return pred();
}

void spin(int ms) {
    spinUntil([] { return false; }, ms);
}

struct CallTimes {
    std::vector<double> ms;
    template <typename F> void time(F f) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    void report(const char* what) {
        std::sort(ms.begin(), ms.end());
        if (ms.empty()) return;
        std::printf("  %-34s %6zu calls: median %.3f ms, max %.3f ms\n", what, ms.size(), ms[ms.size() / 2],
                    ms.back());
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApp app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int clicks = argc > 1 ? std::atoi(argv[1]) : 40;
    Rigctld rig;
    QProcess& rigctld = rig.process();
    const int port = rig.port();
    if (!rig.start()) {
        std::fprintf(stderr, "rigctld did not start (Debian's libhamlib-utils)\n");
        return 1;
    }
    DialWatcher watcher(port);
    spin(500);

    FormHarness h;
    SettingsList s = defaultSettings();
    s[63] = "4";
    s[64] = "2";
    s[41] = "127.0.0.1:" + std::to_string(port);
    s[27] = "4";
    s[50] = "20";
    writeSettings(h.file("tavrel.ini"), s);
    RadioControl& radio = *h.form->radioControl;
    app.rig = &radio.rig();
    CallTimes startup, bandClicks, tunes, ptt, reapply;
    TickProbe probe;
    spin(3000);
    std::printf("Window thread with no rig at all (this machine's own noise):\n");
    probe.report("1 ms timer, idle");
    startup.time([&] { h.startup->startup(); });
    if (!spinUntil([&] { return radio.rig().reading().has_value(); }, 10000)) std::printf("rig never read\n");

    std::printf("Band click to rig through rigctld (%d clicks):\n", clicks);
    std::vector<double> toRig;
    probe.reset();
    for (int i = 0; i < clicks; ++i) {
        QPushButton* button = i % 2 ? h.form->radioPanel->twenty : h.form->radioPanel->forty;
        const long long hz = i % 2 ? 14'070'000 : 7'035'000;
        const long long t0 = std::chrono::steady_clock::now().time_since_epoch().count();
        bandClicks.time([&] { QTest::mouseClick(button, Qt::LeftButton); });
        if (!spinUntil([&] { return watcher.seenAt(hz) >= 0; }, 5000)) {
            std::printf("  click %d: rig never reached %lld Hz\n", i, hz);
            continue;
        }
        toRig.push_back(static_cast<double>(watcher.seenAt(hz) - t0) / 1e6);
        if (i % 4 == 0) reapply.time([&] { h.modem.raiseStatus(1200, 0); }); // the re-apply after a band save
        ptt.time([&] { h.modem.raiseTxState(1); });
        ptt.time([&] { h.modem.raiseTxState(0); });
        spin(50);
    }
    std::sort(toRig.begin(), toRig.end());
    if (!toRig.empty())
        std::printf("  click to rig's frequency:           median %.1f ms, 90%% %.1f ms, max %.1f ms\n",
                    toRig[toRig.size() / 2], toRig[toRig.size() * 9 / 10], toRig.back());
    std::printf("Window thread while the rig answers, clicking bands (each click saves tavrel.ini):\n");
    probe.report("1 ms timer");

    const auto hold = [&](const char* what, int ms) {
        probe.reset();
        QElapsedTimer t;
        t.start();
        qint64 told = -1;
        int n = 0;
        while (t.elapsed() < ms) {
            ++n;
            tunes.time([&] { radio.rig().tune(n % 2 ? 21'070'000 : 28'120'000, RigMode::Usb); });
            ptt.time([&] { h.modem.raiseTxState(1); });
            ptt.time([&] { h.modem.raiseTxState(0); });
            spinUntil([&] { return told < 0 && !radio.rig().status().isEmpty(); }, 100);
            if (told < 0 && !radio.rig().status().isEmpty()) told = t.elapsed();
        }
        probe.report(what);
        if (told < 0)
            std::printf("  %-34s status line: nothing to tell\n", "");
        else
            std::printf("  %-34s status line after %lld ms: \"%s\"\n", "", static_cast<long long>(told),
                        radio.rig().status().toStdString().c_str());
    };
    std::printf("Window thread with rig control alone (tune and PTT every 100 ms, the read-back):\n");
    hold("1 ms timer, rig answering", 4000);
    std::printf("Window thread while rigctld is stopped (every rig call times out):\n");
    ::kill(static_cast<pid_t>(rigctld.processId()), SIGSTOP);
    hold("1 ms timer, rigctld stopped", 6000);
    ::kill(static_cast<pid_t>(rigctld.processId()), SIGCONT);
    rig.stop();
    std::printf("Window thread while rigctld is gone:\n");
    hold("1 ms timer, rigctld killed", 4000);

    QElapsedTimer back;
    back.start();
    rig.start();
    probe.reset();
    spinUntil([&] { return radio.rig().status().isEmpty(); }, 20000);
    std::printf("Back in contact %.0f ms after rigctld was started again (reopen every 2 s)\n",
                static_cast<double>(back.elapsed()));
    probe.report("1 ms timer, recovering");

    std::printf("Calls on the window's thread:\n");
    startup.report("start-up (incl. files, log)");
    bandClicks.report("band click (incl. settings save)");
    tunes.report("rig tune");
    ptt.report("PTT change (TxStateChg)");
    std::sort(app.rigEvents.begin(), app.rigEvents.end());
    if (!app.rigEvents.empty())
        std::printf("  %-34s %6zu events: median %.3f ms, max %.3f ms\n", "worker events (read-back, status)",
                    app.rigEvents.size(), app.rigEvents[app.rigEvents.size() / 2], app.rigEvents.back());
    reapply.report("settings re-apply (whole start-up)");
    std::printf("Slowest events on the window's thread (top-level handlers):\n");
    for (const auto& s : app.slowest)
        std::printf("  %8.3f ms  %s\n", s.ms, s.what.c_str());
    return 0;
}
