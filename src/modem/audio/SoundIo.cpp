#include "modem/audio/SoundIo.h"

#include "modem/SoundChoice.h"
#include "modem/audio/Resampler.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {
constexpr qint64 kInputSilentMs = 3000;        // an input that gives nothing this long has failed
constexpr std::size_t kMaxNullStep = 8000 * 4; // catching up after a stall: at most 4 s at once

float fromInt16(int16_t v) {
    return static_cast<float>(v) / 32768.0f;
}
int16_t toInt16(float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 32767.0f / 32768.0f) * 32768.0f));
}

bool isFatal(QAudio::Error e) {
    return e == QAudio::OpenError || e == QAudio::IOError || e == QAudio::FatalError;
}
std::vector<SoundDevice> namesOf(const QList<QAudioDevice>& list) {
    std::vector<SoundDevice> names;
    for (const QAudioDevice& d : list)
        names.push_back({d.id().toStdString(), d.description().toStdString()});
    return names;
}
} // namespace

SoundIo::SoundIo(double nullPace, std::vector<float> nullInput, QObject* parent)
    : QObject(parent), m_nullPace(nullPace), m_nullInput(std::move(nullInput)) {
    m_input.reserve(16384);
}

SoundIo::~SoundIo() = default;

void SoundIo::begin() {
    m_clock.start();
}

void SoundIo::open(int device, int option) {
    close();
    if (option == 0) {
        startNull(QStringLiteral("Sound card off: silent input"));
        return;
    }
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    bool inputGone = false, outputGone = false;
    const int inputAt = device >= 0 ? device : pickDevice(namesOf(inputs), m_chosenInput, &inputGone);
    const int outputAt = device >= 0 ? device : pickDevice(namesOf(outputs), m_chosenOutput, &outputGone);
    const QAudioDevice in =
        inputAt >= 0 && inputAt < inputs.size() ? inputs[inputAt] : QMediaDevices::defaultAudioInput();
    const QAudioDevice out =
        outputAt >= 0 && outputAt < outputs.size() ? outputs[outputAt] : QMediaDevices::defaultAudioOutput();
    // Said with whatever happens next, so the operator knows the chosen card was not used.
    QString gone;
    if (inputGone)
        gone += QStringLiteral(" (input \"%1\" not found: the default is used)")
                    .arg(QString::fromStdString(m_chosenInput));
    if (outputGone)
        gone += QStringLiteral(" (output \"%1\" not found: the default is used)")
                    .arg(QString::fromStdString(m_chosenOutput));
    if (in.isNull() || out.isNull()) {
        startNull(QStringLiteral("No sound card found: silent input") + gone);
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
            startNull(QStringLiteral("Sound card refuses 16-bit mono: silent input") + gone);
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
        close();
        startNull(QStringLiteral("Sound card could not be opened: silent input") + gone);
        return;
    }
    m_inputId = in.id();
    m_outputId = out.id();
    watchDevices();
    m_null = false;
    m_playedBase = m_written;
    m_lastInputMs = m_clock.elapsed();
    QString text = QStringLiteral("Sound: %1 / %2").arg(in.description(), out.description());
    if (m_deviceRate != kRate) text += QStringLiteral(" (%1/s, converted)").arg(m_deviceRate);
    text += gone;
    emit message(text, false);
}

void SoundIo::watchDevices() {
    if (m_devices) return;
    m_devices = new QMediaDevices(this);
    auto check = [this] {
        if (m_null) return;
        const auto present = [](const QList<QAudioDevice>& list, const QByteArray& id) {
            return std::any_of(list.begin(), list.end(), [&](const QAudioDevice& d) { return d.id() == id; });
        };
        if (!present(QMediaDevices::audioInputs(), m_inputId) ||
            !present(QMediaDevices::audioOutputs(), m_outputId))
            m_failure = QStringLiteral("Sound device went away: silent input");
    };
    connect(m_devices, &QMediaDevices::audioInputsChanged, this, check);
    connect(m_devices, &QMediaDevices::audioOutputsChanged, this, check);
}

void SoundIo::close() {
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

void SoundIo::startNull(const QString& why) {
    m_null = true;
    m_nullStartMs = m_clock.elapsed();
    m_nullConsumed = 0;
    emit message(why, true);
}

void SoundIo::fallBack(const QString& why) {
    if (m_null) return;
    close();
    startNull(why);
}

void SoundIo::poll() {
    if (m_failure.isEmpty()) return;
    const QString why = m_failure;
    m_failure.clear();
    fallBack(why);
}

// ---- Input ---------------------------------------------------------------------------------------

const std::vector<float>& SoundIo::read() {
    if (m_null)
        readNull();
    else
        readCard();
    return m_input;
}

void SoundIo::readNull() {
    const double elapsedSamples = (m_clock.elapsed() - m_nullStartMs) * (kRate / 1000.0) * m_nullPace;
    const auto due = static_cast<uint64_t>(std::max(0.0, elapsedSamples));
    const std::size_t n =
        static_cast<std::size_t>(std::min<uint64_t>(due - std::min(due, m_nullConsumed), kMaxNullStep));
    m_nullConsumed += n;
    if (due > m_nullConsumed + kMaxNullStep) m_nullConsumed = due; // give up on a long stall
    m_nullOutDue += n;
    m_input.assign(n, 0.0f);
    for (std::size_t i = 0; i < n && m_nullInputPos < m_nullInput.size(); ++i)
        m_input[i] = m_nullInput[m_nullInputPos++];
    m_peak = std::max(m_peak, peakOf(m_input.data(), n));
}

void SoundIo::readCard() {
    m_input.clear();
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
    const std::size_t count = static_cast<std::size_t>(got) / 2;
    std::vector<float>& samples = m_inResampler ? m_scratch : m_input;
    samples.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = fromInt16(m_pcmIn[i]);
    m_peak = std::max(m_peak, peakOf(samples.data(), count));
    if (m_inResampler) m_inResampler->process(m_scratch.data(), count, m_input);
}

// ---- Output --------------------------------------------------------------------------------------

std::size_t SoundIo::room() {
    // Nothing plays on the null source: the output runs at the pace of its input.
    if (m_null) return m_nullOutDue;
    const qint64 freeBytes = m_sink->bytesFree();
    m_room = freeBytes > 0 ? static_cast<std::size_t>(freeBytes) / 2 : 0;
    // Converted samples left over from the last step go first.
    const std::size_t left = m_room - std::min(m_room, m_outLeft.size());
    return m_outResampler ? static_cast<std::size_t>(left / m_outResampler->ratio()) : left;
}

void SoundIo::play(const float* samples, std::size_t n) {
    m_written += n;
    if (m_null) {
        m_nullOutDue -= std::min(n, m_nullOutDue);
        return;
    }
    if (m_room == 0) return;
    std::vector<int16_t>& pcm = m_pcmOut;
    pcm.clear();
    const std::size_t used = std::min(m_room, m_outLeft.size());
    for (std::size_t i = 0; i < used; ++i)
        pcm.push_back(toInt16(m_outLeft[i]));
    m_outLeft.erase(m_outLeft.begin(), m_outLeft.begin() + static_cast<std::ptrdiff_t>(used));
    const std::size_t room = m_room - used;
    m_room = 0;
    if (m_outResampler) {
        m_converted.clear();
        if (n > 0) m_outResampler->process(samples, n, m_converted);
        const std::size_t now = std::min(room, m_converted.size());
        for (std::size_t i = 0; i < now; ++i)
            pcm.push_back(toInt16(m_converted[i]));
        m_outLeft.insert(m_outLeft.end(), m_converted.begin() + static_cast<std::ptrdiff_t>(now),
                         m_converted.end());
    } else {
        for (std::size_t i = 0; i < n; ++i)
            pcm.push_back(toInt16(samples[i]));
    }
    if (!pcm.empty())
        m_out->write(reinterpret_cast<const char*>(pcm.data()), static_cast<qint64>(pcm.size() * 2));
}

uint64_t SoundIo::played() const {
    if (m_null || !m_sink) return m_written;
    const qint64 us = m_sink->processedUSecs();
    const auto played = m_playedBase + static_cast<uint64_t>(std::max<qint64>(us, 0) * kRate / 1000000);
    return std::min(played, m_written);
}

} // namespace tavrel
