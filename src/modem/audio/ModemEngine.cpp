#include "modem/audio/ModemEngine.h"

#include "modem/audio/BandWorker.h"
#include "modem/audio/Resampler.h"
#include "modem/psk31/Psk31.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {
constexpr std::size_t kBlock = 256;            // one symbol: the transmitter's decisions are this fine
constexpr std::size_t kReplayChunk = 8000;     // one second of history per step: ~100x real time
constexpr uint64_t kMuteAfterOver = 2000;      // 0.25 s of input after an over: our own tail
constexpr qint64 kInputSilentMs = 3000;        // an input that gives nothing this long has failed
constexpr std::size_t kMaxNullStep = 8000 * 4; // catching up after a stall: at most 4 s at once
constexpr int kRate = 8000;

float fromInt16(int16_t v) {
    return static_cast<float>(v) / 32768.0f;
}
int16_t toInt16(float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 32767.0f / 32768.0f) * 32768.0f));
}

bool isFatal(QAudio::Error e) {
    return e == QAudio::OpenError || e == QAudio::IOError || e == QAudio::FatalError;
}
} // namespace

ModemEngine::ModemEngine(EngineSetup setup) : m_setup(std::move(setup)) {
    m_history.assign(static_cast<std::size_t>(kHistorySeconds) * kRate, 0);
    m_raw.assign(kRawSamples, 0.0f);
    m_echoes.reserve(psk31::Transmitter::kEchoCapacity);
    m_heldLive.reserve(4096);
    m_inBuf.reserve(16384);
    m_outBuf.reserve(16384);
    m_scratch.resize(kReplayChunk);
    m_rx.setFrequency(1200);
    m_tx.setFrequency(1200);
    configureSpectrum();
    publish();
}

ModemEngine::~ModemEngine() = default;

void ModemEngine::begin() {
    m_clock.start();
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kStepMs);
    connect(m_timer, &QTimer::timeout, this, &ModemEngine::step);
    m_timer->start();
}

void ModemEngine::finish() {
    if (m_timer) m_timer->stop();
    closeDevices();
}

void ModemEngine::step() {
    m_steps.fetch_add(1, std::memory_order_relaxed);
    if (!m_failure.isEmpty()) {
        const QString why = m_failure;
        m_failure.clear();
        fallBack(why);
    }
    takeCommands();
    readInput();
    writeOutput();
    deliverEchoes();
    checkOverEnd();
    runReplay();
    publish();
}

void ModemEngine::takeCommands() {
    EngineCommand c;
    while (m_commands.pop(c))
        apply(c);
}

void ModemEngine::apply(const EngineCommand& c) {
    using K = EngineCommand::Kind;
    switch (c.kind) {
    case K::Text:
        m_tx.queueText(std::string_view(c.text, c.length));
        m_textSeq = c.seq;
        break;
    case K::IdClear:
        m_idText.clear();
        break;
    case K::IdAppend:
        m_idText.append(c.text, c.length);
        break;
    case K::Start:
    case K::Tune:
        // An earlier over still fading out after an abort is over now.
        if (m_overActive) emit overFinished(m_over, m_textSeq);
        m_over = static_cast<uint32_t>(c.a);
        m_overActive = true;
        m_startDue = true;
        m_isTune = c.kind == K::Tune;
        m_endRequested = m_endGiven = m_idQueued = m_ended = false;
        m_uncountedAhead = 0;
        m_echoes.clear();
        break;
    case K::End:
        if (m_overActive && static_cast<uint32_t>(c.a) == m_over) m_endRequested = true;
        break;
    case K::Abort:
        m_tx.abort();
        m_startDue = false;
        m_endRequested = m_endGiven = true;
        m_uncountedAhead = 0;
        m_echoes.clear();
        break;
    case K::RxFreq:
        m_rx.setFrequency(c.a);
        m_freqSeq = c.seq;
        if (m_displayKind == 4) configureSpectrum();
        break;
    case K::TxFreq:
        m_tx.setFrequency(c.a);
        break;
    case K::Mode:
        m_mode = c.a;
        m_rx.setMode(psk31::modeFromInt(c.a));
        m_tx.setMode(psk31::modeFromInt(c.a));
        break;
    case K::SquelchThreshold:
        m_squelchThreshold = c.a;
        m_rx.setSquelchThreshold(c.a);
        break;
    case K::SquelchSpeed:
        m_squelchSpeed = c.a;
        m_rx.setSquelchSpeed(c.a);
        break;
    case K::AfcLimit:
        m_rx.setAfcLimit(c.a);
        break;
    case K::SearchRange:
        m_rx.setSearchRange(c.a);
        break;
    case K::Trim:
        m_trim = c.a;
        m_rx.setTrim(c.a);
        m_tx.setTrim(c.a);
        m_spectrum.setTrim(c.a);
        break;
    case K::Drive:
        // Full drive leaves a little headroom below the card's full scale.
        m_tx.setAmplitude(0.9f * static_cast<float>(std::clamp(c.a, 0, 255)) / 255.0f);
        break;
    case K::DisplayKind:
        m_displayKind = std::clamp(c.a, 0, 4);
        configureSpectrum();
        break;
    case K::DisplayRange:
        m_rangeLow = c.a;
        m_rangeHigh = c.b;
        configureSpectrum();
        break;
    case K::Bins:
        m_bins = std::clamp(c.a, 16, 4096);
        configureSpectrum();
        break;
    case K::Replay:
        startReplay(c.a);
        break;
    case K::OpenDevices:
        openDevices(c.a, c.b);
        break;
    }
}

// ---- Sound devices -------------------------------------------------------------------------------

void ModemEngine::openDevices(int device, int option) {
    closeDevices();
    if (option == 0) {
        startNull(QStringLiteral("Sound card off: silent input"));
        return;
    }
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    const QAudioDevice in =
        device >= 0 && device < inputs.size() ? inputs[device] : QMediaDevices::defaultAudioInput();
    const QAudioDevice out =
        device >= 0 && device < outputs.size() ? outputs[device] : QMediaDevices::defaultAudioOutput();
    if (in.isNull() || out.isNull()) {
        startNull(QStringLiteral("No sound card found: silent input"));
        return;
    }
    QAudioFormat format;
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(kRate);
    m_deviceRate = kRate;
    if (!in.isFormatSupported(format) || !out.isFormatSupported(format)) {
        // The card will not run at 8000/s: run it at its own rate and convert.
        m_deviceRate = in.preferredFormat().sampleRate();
        format.setSampleRate(m_deviceRate);
        if (m_deviceRate <= 0 || !in.isFormatSupported(format) || !out.isFormatSupported(format)) {
            startNull(QStringLiteral("Sound card refuses 16-bit mono: silent input"));
            return;
        }
        m_inResampler = std::make_unique<Resampler>(m_deviceRate, kRate);
        m_outResampler = std::make_unique<Resampler>(kRate, m_deviceRate);
    }
    m_source = std::make_unique<QAudioSource>(in, format);
    m_sink = std::make_unique<QAudioSink>(out, format);
    // Room for the thread to be late now and then on a busy machine without losing sound.
    m_source->setBufferSize(m_deviceRate * 2 / 4);   // 250 ms
    m_sink->setBufferSize(m_deviceRate * 2 * 2 / 5); // 400 ms
    connect(m_source.get(), &QAudioSource::stateChanged, this, [this](QAudio::State s) {
        if (s == QAudio::StoppedState && m_source && isFatal(m_source->error()))
            m_failure = QStringLiteral("Sound input failed: silent input");
    });
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State s) {
        if (s == QAudio::StoppedState && m_sink && isFatal(m_sink->error()))
            m_failure = QStringLiteral("Sound output failed: silent input");
    });
    m_out = m_sink->start();
    m_in = m_source->start();
    if (!m_in || !m_out || isFatal(m_source->error()) || isFatal(m_sink->error())) {
        closeDevices();
        startNull(QStringLiteral("Sound card could not be opened: silent input"));
        return;
    }
    m_inputId = in.id();
    m_outputId = out.id();
    if (!m_devices) {
        m_devices = new QMediaDevices(this);
        auto check = [this] {
            if (m_null) return;
            const auto present = [](const QList<QAudioDevice>& list, const QByteArray& id) {
                return std::any_of(list.begin(), list.end(),
                                   [&](const QAudioDevice& d) { return d.id() == id; });
            };
            if (!present(QMediaDevices::audioInputs(), m_inputId) ||
                !present(QMediaDevices::audioOutputs(), m_outputId))
                m_failure = QStringLiteral("Sound device went away: silent input");
        };
        connect(m_devices, &QMediaDevices::audioInputsChanged, this, check);
        connect(m_devices, &QMediaDevices::audioOutputsChanged, this, check);
    }
    m_null = false;
    m_playedBase = m_written;
    m_lastInputMs = m_clock.elapsed();
    QString text = QStringLiteral("Sound: %1 / %2").arg(in.description(), out.description());
    if (m_deviceRate != kRate) text += QStringLiteral(" (%1/s, converted)").arg(m_deviceRate);
    emit audioMessage(text, false);
}

void ModemEngine::closeDevices() {
    if (m_source) {
        m_source->disconnect(this);
        m_source->stop();
    }
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
    }
    m_source.reset();
    m_sink.reset();
    m_in = m_out = nullptr;
    m_inResampler.reset();
    m_outResampler.reset();
    m_outLeft.clear();
    m_deviceRate = kRate;
}

void ModemEngine::startNull(const QString& why) {
    m_null = true;
    m_nullStartMs = m_clock.elapsed();
    m_nullConsumed = 0;
    emit audioMessage(why, true);
}

void ModemEngine::fallBack(const QString& why) {
    if (m_null) return;
    closeDevices();
    startNull(why);
}

// ---- Input ---------------------------------------------------------------------------------------

void ModemEngine::readInput() {
    if (m_null) {
        const double elapsedSamples =
            (m_clock.elapsed() - m_nullStartMs) * (kRate / 1000.0) * m_setup.nullPace;
        const auto due = static_cast<uint64_t>(std::max(0.0, elapsedSamples));
        std::size_t n =
            static_cast<std::size_t>(std::min<uint64_t>(due - std::min(due, m_nullConsumed), kMaxNullStep));
        m_nullConsumed += n;
        if (due > m_nullConsumed + kMaxNullStep) m_nullConsumed = due; // give up on a long stall
        m_nullOutDue += n;
        m_inBuf.assign(n, 0.0f);
        const std::vector<float>& script = m_setup.nullInput;
        for (std::size_t i = 0; i < n && m_nullInputPos < script.size(); ++i)
            m_inBuf[i] = script[m_nullInputPos++];
        handleInput(m_inBuf.data(), n);
        return;
    }
    // Into a buffer kept from step to step (the device does not tell how much it holds).
    if (m_pcmIn.size() < kMaxNullStep) m_pcmIn.resize(kMaxNullStep);
    const qint64 got = std::max<qint64>(
        m_in->read(reinterpret_cast<char*>(m_pcmIn.data()), static_cast<qint64>(m_pcmIn.size() * 2)), 0);
    const qint64 now = m_clock.elapsed();
    if (got <= 0) {
        if (now - m_lastInputMs > kInputSilentMs)
            fallBack(QStringLiteral("No sound from the input: silent input"));
        return;
    }
    m_lastInputMs = now;
    const int16_t* s = m_pcmIn.data();
    const std::size_t count = static_cast<std::size_t>(got) / 2;
    m_scratch.resize(std::max(m_scratch.size(), count));
    for (std::size_t i = 0; i < count; ++i)
        m_scratch[i] = fromInt16(s[i]);
    if (m_inResampler) {
        m_inBuf.clear();
        m_inResampler->process(m_scratch.data(), count, m_inBuf);
        handleInput(m_inBuf.data(), m_inBuf.size());
    } else {
        handleInput(m_scratch.data(), count);
    }
}

void ModemEngine::handleInput(const float* in, std::size_t n) {
    uint8_t text[256];
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(kBlock, n - done);
        const float* x = in + done;
        if (!transmitting()) {
            // Our own signal is neither decoded nor kept for a replay.
            for (std::size_t i = 0; i < k; ++i) {
                m_history[m_historyPos] = toInt16(x[i]);
                m_historyPos = (m_historyPos + 1) % m_history.size();
            }
            m_historyCount = std::min(m_historyCount + k, m_history.size());
            m_rx.process(x, k);
            if (m_band && m_inputCount >= m_muteUntil) m_band->feed(x, k);
        }
        m_inputCount += k;
        emitDisplay(x, k);
        done += k;
    }
    const std::size_t got = m_rx.readText(text, sizeof text);
    const bool muted = transmitting() || m_inputCount < m_muteUntil;
    if (got > 0 && !muted) {
        if (m_replayLeft > 0)
            m_heldLive.append(reinterpret_cast<const char*>(text), got);
        else
            emit received(QByteArray(reinterpret_cast<const char*>(text), static_cast<qsizetype>(got)));
    }
    if (const auto imd = m_rx.takeImd(); imd && !muted) emit imdReading(static_cast<int>(std::lround(*imd)));
}

// ---- Output --------------------------------------------------------------------------------------

void ModemEngine::writeOutput() {
    if (m_null) {
        // Nothing plays: the output runs at the pace of the null input.
        while (m_nullOutDue > 0) {
            const std::size_t n = std::min<std::size_t>(m_nullOutDue, kBlock);
            m_outBuf.resize(n);
            generate(m_outBuf.data(), n);
            m_nullOutDue -= n;
        }
        return;
    }
    const qint64 freeBytes = m_sink->bytesFree();
    std::size_t room = freeBytes > 0 ? static_cast<std::size_t>(freeBytes) / 2 : 0;
    if (room == 0) return;
    // Converted samples left over from the last step go first.
    std::vector<int16_t>& pcm = m_pcmOut;
    pcm.clear();
    std::size_t used = std::min(room, m_outLeft.size());
    for (std::size_t i = 0; i < used; ++i)
        pcm.push_back(toInt16(m_outLeft[i]));
    m_outLeft.erase(m_outLeft.begin(), m_outLeft.begin() + static_cast<std::ptrdiff_t>(used));
    room -= used;
    if (room > 0) {
        const auto n = m_outResampler ? static_cast<std::size_t>(room / m_outResampler->ratio()) : room;
        m_outBuf.resize(n);
        for (std::size_t done = 0; done < n; done += kBlock)
            generate(m_outBuf.data() + done, std::min(kBlock, n - done));
        if (m_outResampler) {
            std::vector<float>& converted = m_converted;
            converted.clear();
            m_outResampler->process(m_outBuf.data(), n, converted);
            const std::size_t now = std::min(room, converted.size());
            for (std::size_t i = 0; i < now; ++i)
                pcm.push_back(toInt16(converted[i]));
            m_outLeft.insert(m_outLeft.end(), converted.begin() + static_cast<std::ptrdiff_t>(now),
                             converted.end());
        } else {
            for (std::size_t i = 0; i < n; ++i)
                pcm.push_back(toInt16(m_outBuf[i]));
        }
    }
    if (!pcm.empty())
        m_out->write(reinterpret_cast<const char*>(pcm.data()), static_cast<qint64>(pcm.size() * 2));
}

void ModemEngine::generate(float* out, std::size_t n) {
    beforeGenerate();
    m_tx.generate(out, n);
    m_written += n;
    const std::size_t got = m_tx.takeEchoes(m_echoScratch.data(), m_echoScratch.size());
    for (std::size_t i = 0; i < got; ++i) {
        const bool counted = m_uncountedAhead == 0;
        if (!counted) --m_uncountedAhead;
        m_echoes.push_back({m_echoScratch[i].character, counted, m_echoScratch[i].sample});
    }
}

void ModemEngine::beforeGenerate() {
    if (!m_overActive) return;
    const bool onAir = m_tx.state() == psk31::TxState::Transmitting;
    if (m_startDue) {
        if (onAir) return; // an aborted over is still fading out
        if (m_isTune)
            m_tx.tune();
        else
            m_tx.start();
        m_startDue = false;
        return;
    }
    if (!onAir || !m_endRequested || m_endGiven) return;
    if (m_isTune) {
        m_tx.endWhenDrained();
        m_endGiven = true;
    } else if (m_tx.pending() == 0) {
        // The queue is on the air: the identification goes last, then the over ends.
        if (!m_idQueued && !m_idText.empty()) {
            m_uncountedAhead += m_tx.queueText(m_idText);
            m_idQueued = true;
        } else {
            m_tx.endWhenDrained();
            m_endGiven = true;
        }
    }
}

uint64_t ModemEngine::playedSamples() const {
    if (m_null || !m_sink) return m_written;
    const qint64 us = m_sink->processedUSecs();
    const auto played = m_playedBase + static_cast<uint64_t>(std::max<qint64>(us, 0) * kRate / 1000000);
    return std::min(played, m_written);
}

void ModemEngine::deliverEchoes() {
    if (m_echoes.empty()) return;
    const uint64_t played = playedSamples();
    QByteArray codes, counted;
    std::size_t n = 0;
    while (n < m_echoes.size() && m_echoes[n].sample <= played) {
        codes.append(static_cast<char>(m_echoes[n].code));
        counted.append(m_echoes[n].counted ? 1 : 0);
        ++n;
    }
    if (n == 0) return;
    m_echoes.erase(m_echoes.begin(), m_echoes.begin() + static_cast<std::ptrdiff_t>(n));
    emit airChars(m_over, codes, counted);
}

void ModemEngine::checkOverEnd() {
    if (!m_overActive || m_startDue || m_tx.state() == psk31::TxState::Transmitting) return;
    if (m_tx.pending() > 0 && !m_isTune) {
        // Text came after the transmitter had ended the over but before its end was reported: it
        // still belongs to this over.
        m_tx.start();
        m_endGiven = false;
        m_ended = false;
        return;
    }
    if (!m_ended) {
        m_ended = true;
        m_endSample = m_written;
    }
    if (playedSamples() < m_endSample) return;
    deliverEchoes();
    m_overActive = false;
    m_muteUntil = m_inputCount + kMuteAfterOver;
    m_echoes.clear();
    emit overFinished(m_over, m_textSeq);
}

// ---- Replay --------------------------------------------------------------------------------------

void ModemEngine::startReplay(int seconds) {
    if (transmitting() || seconds <= 0 || m_replayLeft > 0) return;
    const std::size_t wanted = static_cast<std::size_t>(std::min(seconds, kHistorySeconds - 10)) * kRate;
    const std::size_t n = std::min(wanted, m_historyCount);
    if (n == 0) return;
    m_replayPos = (m_historyPos + m_history.size() - n) % m_history.size();
    m_replayLeft = n;
    // A decoder of its own, set as the live one is now, starting fresh on the old audio.
    m_replayRx.setTrim(m_trim);
    m_replayRx.setMode(psk31::modeFromInt(m_mode));
    m_replayRx.setSearchRange(0);
    m_replayRx.setAfcLimit(m_rx.afcLimit());
    m_replayRx.setSquelchThreshold(m_squelchThreshold);
    m_replayRx.setSquelchSpeed(m_squelchSpeed);
    m_replayRx.setFrequency(m_rx.frequency());
    uint8_t drop[256];
    while (m_replayRx.readText(drop, sizeof drop) > 0) {
    }
}

void ModemEngine::runReplay() {
    if (m_replayLeft == 0) return;
    const std::size_t n = std::min(m_replayLeft, kReplayChunk);
    for (std::size_t i = 0; i < n; ++i)
        m_scratch[i] = fromInt16(m_history[(m_replayPos + i) % m_history.size()]);
    m_replayPos = (m_replayPos + n) % m_history.size();
    m_replayLeft -= n;
    m_replayRx.process(m_scratch.data(), n);
    uint8_t text[512];
    QByteArray out;
    for (std::size_t got; (got = m_replayRx.readText(text, sizeof text)) > 0;)
        out.append(reinterpret_cast<const char*>(text), static_cast<qsizetype>(got));
    if (m_replayLeft == 0) {
        out.append(m_heldLive.data(), static_cast<qsizetype>(m_heldLive.size()));
        m_heldLive.clear();
    }
    if (!out.isEmpty()) emit received(out);
}

// ---- Status and display --------------------------------------------------------------------------

void ModemEngine::publish() {
    const auto hz = static_cast<uint32_t>(std::lround(m_rx.frequency()));
    m_frequency.store((static_cast<uint64_t>(m_freqSeq) << 32) | hz, std::memory_order_release);
    m_level.store(m_rx.signalLevel(), std::memory_order_relaxed);
}

void ModemEngine::configureSpectrum() {
    if (m_displayKind == 4) {
        m_carpetCentre = m_rx.frequency();
        m_spectrum.setRange(m_carpetCentre - kCarpetHalfSpanHz, m_carpetCentre + kCarpetHalfSpanHz,
                            static_cast<std::size_t>(m_bins));
    } else {
        m_spectrum.setRange(m_rangeLow, m_rangeHigh, static_cast<std::size_t>(m_bins));
    }
    m_frame.assign(static_cast<std::size_t>(m_bins), 0.0f);
}

bool ModemEngine::displayRoom() {
    if (m_displayInFlight.load(std::memory_order_relaxed) >= kDisplayInFlight) return false;
    m_displayInFlight.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void ModemEngine::emitDisplay(const float* in, std::size_t n) {
    const int kind = m_displayKind;
    if (kind == 0 || kind == 1 || kind == 4) {
        // The carpet follows the receive frequency once it has wandered off its middle.
        if (kind == 4 && std::abs(m_rx.frequency() - m_carpetCentre) > kCarpetHalfSpanHz / 4)
            configureSpectrum();
        m_spectrum.process(in, n);
        bool fresh = false;
        while (m_spectrum.takeFrame(m_frame.data()))
            fresh = true;
        if (fresh && displayRoom())
            emit spectrumRow(QVector<float>(m_frame.begin(), m_frame.end()), m_spectrum.lowHz(),
                             m_spectrum.highHz());
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        m_raw[m_rawPos] = in[i];
        m_rawPos = (m_rawPos + 1) % m_raw.size();
    }
    m_sinceDisplay += n;
    if (m_sinceDisplay < static_cast<std::size_t>(kRawSamples)) return;
    m_sinceDisplay = 0;
    if (kind == 2) {
        if (!displayRoom()) return;
        QVector<float> samples(kRawSamples);
        for (int i = 0; i < kRawSamples; ++i)
            samples[i] = m_raw[(m_rawPos + static_cast<std::size_t>(i)) % m_raw.size()];
        emit rawInput(samples);
    } else if (kind == 3) {
        if (m_rx.symbolCount() == m_lastScopeSymbol || !displayRoom()) return;
        m_lastScopeSymbol = m_rx.symbolCount();
        std::array<std::complex<float>, 32> z{};
        const std::size_t got = m_rx.recentPhases(z.data(), z.size());
        QVector<float> xy;
        xy.reserve(static_cast<qsizetype>(2 * got));
        for (std::size_t i = 0; i < got; ++i) {
            xy.append(z[i].real());
            xy.append(z[i].imag());
        }
        emit phaseScope(xy, m_rx.signalLevel());
    }
}

} // namespace tavrel
