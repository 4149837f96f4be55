#include "radio/RigWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tavrel {

namespace {

using Clock = std::chrono::steady_clock;

struct Tune {
    uint64_t hz;
    RigMode mode;
};

} // namespace

struct RigWorker::Shared {
    std::mutex m;
    std::condition_variable cv;
    bool stop = false;
    bool reconfigure = false;
    std::optional<RigConfig> config;
    unsigned configCount = 0;
    std::optional<Tune> tune;
    std::deque<bool> ptt;
    bool finished = false;
    std::condition_variable finishedCv;
};

namespace {

// The worker's own state; only its thread touches it.
class Loop {
public:
    Loop(RigWorker::Factory factory, RigWorker::Sink sink, RigTiming timing)
        : m_factory(std::move(factory)), m_sink(std::move(sink)), m_timing(timing) {}

    void run(RigWorker::Shared& s) {
        for (;;) {
            std::optional<std::optional<RigConfig>> newConfig;
            std::deque<bool> ptt;
            bool stop = false;
            {
                std::unique_lock lock(s.m);
                const auto pending = [&] { return s.stop || s.reconfigure || s.tune || !s.ptt.empty(); };
                if (m_rig)
                    s.cv.wait_until(lock, m_nextTry, pending);
                else
                    s.cv.wait(lock, pending);
                stop = s.stop;
                if (s.reconfigure) {
                    newConfig = s.config;
                    m_configCount = s.configCount;
                }
                s.reconfigure = false;
                // A tune asked for after a new rig goes to the new rig.
                if (s.tune) m_tune = s.tune;
                s.tune.reset();
                ptt.swap(s.ptt);
            }
            if (stop || newConfig) {
                closeRig();
                if (stop) return;
                if (*newConfig) {
                    m_rig = m_factory(**newConfig);
                    m_nextTry = Clock::now();
                }
            }
            if (!m_rig) {
                m_tune.reset();
                continue;
            }
            if (!m_open && Clock::now() >= m_nextTry) openRig();
            for (bool on : ptt)
                key(on);
            if (m_open && m_tune) tuneRig();
            if (m_open && (m_readDue || Clock::now() >= m_nextTry)) readDial();
        }
    }

    void probe(const RigConfig& config) {
        m_rig = m_factory(config);
        const RigResult opened = m_rig->open();
        if (!opened) {
            notResponding(opened.error);
            return;
        }
        uint64_t hz = 0;
        const RigResult read = m_rig->readFrequency(hz);
        if (!read) {
            notResponding(read.error);
        } else {
            RigMode mode = RigMode::Other;
            if (!m_rig->readMode(mode)) mode = RigMode::Other;
            m_sink({RigEvent::Kind::Reading, {hz, mode}, {}, {}, 0});
        }
        m_rig->close();
    }

private:
    void notResponding(const std::string& error) {
        m_sink({RigEvent::Kind::NotResponding, {}, {}, error, m_configCount});
    }
    void refused(const char* action, const std::string& error) {
        m_sink({RigEvent::Kind::Refused, {}, action, error, m_configCount});
    }

    void openRig() {
        const RigResult r = m_rig->open();
        if (!r) {
            notResponding(r.error);
            m_nextTry = Clock::now() + std::chrono::milliseconds(m_timing.reopenMs);
            return;
        }
        m_open = true;
        m_readDue = true;
        if (m_unkeyOwed) key(false);
    }

    void lose(const RigResult& r) {
        m_rig->close();
        m_open = false;
        if (m_keyed) m_unkeyOwed = true;
        m_keyed = false;
        notResponding(r.error);
        m_nextTry = Clock::now() + std::chrono::milliseconds(m_timing.reopenMs);
    }

    void key(bool on) {
        if (!m_open) {
            // A key is never sent late; an unkey is owed until the rig takes it.
            if (!on && m_keyed) m_unkeyOwed = true;
            m_keyed = false;
            return;
        }
        const RigResult r = m_rig->setPtt(on);
        if (r) {
            m_keyed = on;
            if (!on) m_unkeyOwed = false;
        } else if (r.kind == RigResult::Kind::Lost) {
            if (!on) m_unkeyOwed = true;
            lose(r);
        } else {
            refused("key PTT", r.error);
        }
    }

    void tuneRig() {
        const RigResult f = m_rig->setFrequency(m_tune->hz);
        if (f.kind == RigResult::Kind::Lost) return lose(f); // tuned when the rig answers again
        if (!f) refused("tune", f.error);
        const RigResult m = m_rig->setMode(m_tune->mode);
        if (m.kind == RigResult::Kind::Lost) return lose(m);
        if (!m) refused("set the mode", m.error);
        m_tune.reset();
        m_readDue = true;
    }

    void readDial() {
        m_readDue = false;
        uint64_t hz = 0;
        const RigResult f = m_rig->readFrequency(hz);
        if (f.kind == RigResult::Kind::Lost) return lose(f);
        if (f) {
            RigMode mode = RigMode::Other;
            const RigResult m = m_rig->readMode(mode);
            if (m.kind == RigResult::Kind::Lost) return lose(m);
            m_sink({RigEvent::Kind::Reading, {hz, m ? mode : RigMode::Other}, {}, {}, m_configCount});
        } else {
            refused("read the dial", f.error);
        }
        m_nextTry = Clock::now() + std::chrono::milliseconds(m_timing.pollMs);
    }

    void closeRig() {
        if (!m_rig) return;
        // Never leave a transmitter keyed behind: one more try at the unkey, even to a rig that
        // stopped answering.
        if ((m_keyed || m_unkeyOwed) && !m_open && m_rig->open()) m_open = true;
        if ((m_keyed || m_unkeyOwed) && m_open) m_rig->setPtt(false);
        m_rig->close();
        m_rig.reset();
        m_open = m_keyed = m_unkeyOwed = m_readDue = false;
    }

    RigWorker::Factory m_factory;
    RigWorker::Sink m_sink;
    RigTiming m_timing;
    std::unique_ptr<Rig> m_rig;
    bool m_open = false;
    bool m_keyed = false;
    bool m_unkeyOwed = false;
    bool m_readDue = false;
    std::optional<Tune> m_tune;
    Clock::time_point m_nextTry = Clock::now();
    unsigned m_configCount = 0;
};

} // namespace

RigWorker::RigWorker(Factory factory, Sink sink, RigTiming timing)
    : m_shared(std::make_shared<Shared>()), m_stopWaitMs(timing.stopWaitMs) {
    // The thread owns what it uses, so it may outlive this object.
    std::thread([shared = m_shared,
                 loop = std::make_shared<Loop>(std::move(factory), std::move(sink), timing)] {
        loop->run(*shared);
        std::lock_guard lock(shared->m);
        shared->finished = true;
        shared->finishedCv.notify_all();
    }).detach();
}

RigWorker::~RigWorker() {
    std::unique_lock lock(m_shared->m);
    m_shared->stop = true;
    m_shared->cv.notify_all();
    m_shared->finishedCv.wait_for(lock, std::chrono::milliseconds(m_stopWaitMs),
                                  [this] { return m_shared->finished; });
}

void RigWorker::configure(std::optional<RigConfig> config) {
    std::lock_guard lock(m_shared->m);
    m_shared->config = std::move(config);
    m_shared->reconfigure = true;
    ++m_shared->configCount;
    m_shared->cv.notify_all();
}

void RigWorker::tune(uint64_t hz, RigMode mode) {
    std::lock_guard lock(m_shared->m);
    m_shared->tune = Tune{hz, mode};
    m_shared->cv.notify_all();
}

void RigWorker::setPtt(bool on) {
    std::lock_guard lock(m_shared->m);
    m_shared->ptt.push_back(on);
    m_shared->cv.notify_all();
}

void RigWorker::probe(const RigConfig& config, Factory factory, Sink sink) {
    std::thread([config, loop = std::make_shared<Loop>(std::move(factory), std::move(sink), RigTiming{})] {
        loop->probe(config);
    }).detach();
}

} // namespace tavrel
