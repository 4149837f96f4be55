#include "modem/audio/ModemEngine.h"

#include "modem/audio/BandWorker.h"

#include "modem/psk31/Psk31.h"

#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

namespace tavrel {

namespace {
constexpr std::size_t kBlock = 256;       // one symbol: the transmitter's decisions are this fine
constexpr uint64_t kMuteAfterOver = 2000; // 0.25 s of input after an over: our own tail
} // namespace

ModemEngine::ModemEngine(EngineSetup setup) : m_sound(setup.nullPace, std::move(setup.nullInput), this) {
    m_outBuf.reserve(16384);
    m_text.reserve(4096);
    connect(&m_sound, &SoundIo::message, this, &ModemEngine::audioMessage);
    publish();
}

ModemEngine::~ModemEngine() = default;

void ModemEngine::begin() {
    m_sound.begin();
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer); // no-mutate: only evens out the steps; the buffers absorb it
    m_timer->setInterval(kStepMs);
    connect(m_timer, &QTimer::timeout, this, &ModemEngine::step);
    m_timer->start();
}

void ModemEngine::finish() {
    if (m_timer) m_timer->stop();
    m_sound.close();
}

void ModemEngine::step() {
    m_steps.fetch_add(1, std::memory_order_relaxed);
    m_sound.poll();
    EngineCommand c;
    while (m_commands.pop(c))
        apply(c);
    reportOver(); // an over ended by a new one
    handleInput(m_sound.read());
    // The meter's peak, kept until the UI takes it.
    const float peak = m_sound.takePeak();
    for (float seen = m_peak.load(std::memory_order_relaxed);
         peak > seen && !m_peak.compare_exchange_weak(seen, peak, std::memory_order_relaxed);) {
    }
    writeOutput();
    m_over.advance(m_sound.played());
    reportOver();
    if (m_replay.running()) {
        m_text.clear();
        m_replay.run(m_text);
        if (!m_text.empty()) emit received(QByteArray(m_text.data(), static_cast<qsizetype>(m_text.size())));
    }
    publish();
}

void ModemEngine::apply(const EngineCommand& c) {
    if (m_over.apply(c)) return;
    psk31::Transmitter& tx = m_over.transmitter();
    using K = EngineCommand::Kind;
    switch (c.kind) {
    case K::RxFreq:
        m_rx.setFrequency(c.a);
        m_freqSeq = c.seq;
        m_display.rxMoved();
        break;
    case K::Mode:
        m_rxSettings.mode = c.a;
        m_rx.setMode(psk31::modeFromInt(c.a));
        tx.setMode(psk31::modeFromInt(c.a));
        break;
    case K::SquelchThreshold:
        m_rxSettings.squelchThreshold = c.a;
        m_rx.setSquelchThreshold(c.a);
        break;
    case K::SquelchSpeed:
        m_rxSettings.squelchSpeed = c.a;
        m_rx.setSquelchSpeed(c.a);
        break;
    case K::AfcLimit:
        m_rx.setAfcLimit(c.a);
        break;
    case K::SearchRange:
        m_rx.setSearchRange(c.a);
        break;
    case K::Trim:
        m_rxSettings.trim = c.a;
        m_rx.setTrim(c.a);
        tx.setTrim(c.a);
        m_display.setTrim(c.a);
        break;
    case K::DisplayKind:
        m_display.setKind(c.a);
        break;
    case K::DisplayRange:
        m_display.setRange(c.a, c.b);
        break;
    case K::Bins:
        m_display.setBins(c.a);
        break;
    case K::Replay:
        startReplay(c.a);
        break;
    case K::OpenDevices:
        m_sound.choose(m_inputName, m_outputName);
        m_sound.open(c.a, c.b);
        break;
    case K::DeviceNames:
        m_inputName.clear();
        m_outputName.clear();
        break;
    case K::InputName:
        m_inputName.append(c.textView());
        break;
    case K::OutputName:
        m_outputName.append(c.textView());
        break;
    default:
        break;
    }
}

void ModemEngine::handleInput(const std::vector<float>& in) {
    const std::size_t n = in.size();
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(kBlock, n - done);
        const float* x = in.data() + done;
        if (!m_over.onAir()) {
            // Our own signal is neither decoded nor kept for a replay.
            m_replay.record(x, k);
            m_rx.process(x, k);
            if (m_band && m_inputCount >= m_muteUntil) m_band->feed(x, k);
        }
        m_inputCount += k;
        showDisplay(m_display.feed(x, k));
        done += k;
    }
    uint8_t text[256];
    const std::size_t got = m_rx.readText(text, sizeof text);
    const bool muted = m_over.onAir() || m_inputCount < m_muteUntil;
    if (got > 0 && !muted) {
        if (m_replay.running())
            m_replay.holdLive(text, got);
        else
            emit received(QByteArray(reinterpret_cast<const char*>(text), static_cast<qsizetype>(got)));
    }
    if (const auto imd = m_rx.takeImd(); imd && !muted) emit imdReading(static_cast<int>(std::lround(*imd)));
}

void ModemEngine::showDisplay(DisplayFeed::Item item) {
    switch (item) {
    case DisplayFeed::Item::None:
        break;
    case DisplayFeed::Item::Spectrum: {
        const std::vector<float>& frame = m_display.frame();
        emit spectrumRow(QVector<float>(frame.begin(), frame.end()), m_display.frameLowHz(),
                         m_display.frameHighHz());
        break;
    }
    case DisplayFeed::Item::Raw: {
        std::vector<float> samples;
        m_display.rawSamples(samples);
        emit rawInput(QVector<float>(samples.begin(), samples.end()));
        break;
    }
    case DisplayFeed::Item::Phases: {
        std::array<std::complex<float>, 32> z{};
        const std::size_t got = m_rx.recentPhases(z.data(), z.size());
        QVector<float> xy;
        xy.reserve(static_cast<qsizetype>(2 * got));
        for (std::size_t i = 0; i < got; ++i) {
            xy.append(z[i].real());
            xy.append(z[i].imag());
        }
        emit phaseScope(xy, m_rx.signalLevel());
        break;
    }
    }
}

void ModemEngine::writeOutput() {
    const std::size_t n = m_sound.room();
    m_outBuf.resize(n);
    for (std::size_t done = 0; done < n; done += kBlock)
        m_over.generate(m_outBuf.data() + done, std::min(kBlock, n - done));
    m_sound.play(m_outBuf.data(), n);
}

void ModemEngine::reportOver() {
    std::vector<OverEvent>& events = m_over.events();
    if (events.empty()) return;
    QByteArray codes, counted;
    uint32_t over = 0;
    const auto sendChars = [&] {
        if (codes.isEmpty()) return;
        emit airChars(over, codes, counted);
        codes.clear();
        counted.clear();
    };
    for (const OverEvent& e : events) {
        if (e.kind == OverEvent::Kind::Finished) {
            sendChars();
            m_muteUntil = m_inputCount + kMuteAfterOver;
            emit overFinished(e.over, e.textSeq);
            continue;
        }
        if (e.over != over) sendChars();
        over = e.over;
        codes.append(static_cast<char>(e.code));
        counted.append(static_cast<char>(e.counted));
    }
    sendChars();
    events.clear();
}

void ModemEngine::startReplay(int seconds) {
    if (m_over.onAir()) return;
    m_rxSettings.afcLimit = m_rx.afcLimit();
    m_rxSettings.frequency = m_rx.frequency();
    m_replay.start(seconds, m_rxSettings);
}

void ModemEngine::publish() {
    const auto hz = static_cast<uint32_t>(std::lround(m_rx.frequency()));
    m_frequency.store((static_cast<uint64_t>(m_freqSeq) << 32) | hz, std::memory_order_release);
    m_level.store(m_rx.signalLevel(), std::memory_order_relaxed);
}

} // namespace tavrel
