#pragma once
// Helpers for tests of the real modem component: running the event loop, recording its events in
// order, and a PTT line that records.

#include "PskAudio.h"
#include "modem/PskModem.h"
#include "modem/audio/PttPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace tavrel::testing {

// Runs the event loop until `done` holds or `ms` pass; returns whether it held.
// Sleeps between events (a ticking timer wakes it) so that the audio threads keep the CPU.
inline bool runUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline void runFor(int ms) {
    runUntil([] { return false; }, ms);
}

// Everything a modem tells the program, in order.
struct ModemLog {
    std::string chars;                     // every RxCharRdy code as a byte
    std::vector<int> states;               // TxStateChg values
    std::vector<std::size_t> charsAtState; // chars.size() when each state event came
    std::vector<int> statusFreqs;
    std::vector<int> statusLevels;
    std::vector<int> imd;

    explicit ModemLog(PskModem& m) {
        QObject::connect(&m, &Modem::RxCharRdy,
                         [this](int code, int) { chars.push_back(static_cast<char>(code)); });
        QObject::connect(&m, &Modem::TxStateChg, [this](int s) {
            states.push_back(s);
            charsAtState.push_back(chars.size());
        });
        QObject::connect(&m, &Modem::StatusRdy, [this](int f, int level) {
            statusFreqs.push_back(f);
            statusLevels.push_back(level);
        });
        QObject::connect(&m, &Modem::IMDRdy, [this](int db, int) { imd.push_back(db); });
    }
    bool backToReceive() const { return states.size() >= 2 && states.back() == 0; }
};

// A PTT line that records what is done to it.
struct PttRecord {
    std::vector<std::string> events; // "open:<device>", "key:<0|1>:<lines>", "close"
    bool openFails = false;
};

class RecordingPtt final : public PttPort {
public:
    explicit RecordingPtt(PttRecord& r) : m_r(r) {}
    bool open(const std::string& device) override {
        m_r.events.push_back("open:" + device);
        return !m_r.openFails;
    }
    void setKeyed(bool keyed, int lines) override {
        m_r.events.push_back("key:" + std::to_string(keyed ? 1 : 0) + ":" + std::to_string(lines));
    }
    void close() override { m_r.events.push_back("close"); }

private:
    PttRecord& m_r;
};

} // namespace tavrel::testing
