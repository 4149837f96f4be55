#pragma once
// The modem's sound: the card's input and output through Qt Multimedia at 8000 samples/s (or at the
// card's own rate, converted), or the null source when there is no card or it has failed: silence
// paced by the clock, at real time unless told otherwise (tests run it faster), with an optional
// script of audio before the silence. The output then runs at the input's pace and plays nowhere.
//
// Lives on the engine's thread and is driven by its step: poll(), read(), room() and play(). A
// card that fails, goes away or gives no input for 3 s is closed and the null source takes over;
// each change is told through message().

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAudioSink;
class QAudioSource;
class QIODevice;
class QMediaDevices;

namespace tavrel {

class Resampler;

class SoundIo : public QObject {
    Q_OBJECT
public:
    static constexpr int kRate = 8000;

    SoundIo(double nullPace, std::vector<float> nullInput, QObject* parent = nullptr);
    ~SoundIo() override;

    // Starts the clock that paces the null source (on the engine thread).
    void begin();
    // The devices open(-1, ...) takes: an id or description each, empty for the default. One that
    // is not there gives way to the default, and the message says so.
    void choose(const std::string& input, const std::string& output) {
        m_chosenInput = input;
        m_chosenOutput = output;
    }
    // device: -1 the chosen (or default) input and output, n >= 0 the n-th of Qt's lists; option 0
    // the null source.
    void open(int device, int option);
    void close();
    bool nullSource() const { return m_null; }

    // Acts on a failure a device reported since the last step.
    void poll();
    // The input that has come since the last call, at 8000/s; valid until the next call.
    const std::vector<float>& read();
    // How many samples (8000/s) the output takes now; give play() that many.
    std::size_t room();
    void play(const float* samples, std::size_t n);
    // Of the samples given to play(), how many have left the card (all of them on the null source).
    uint64_t played() const;
    // The loudest input sample (full scale 1) read since the last call.
    float takePeak() {
        const float p = m_peak;
        m_peak = 0.0f;
        return p;
    }

signals:
    // The sound path changed: a device opened, failed or went; nullSource tells which runs now.
    void message(QString text, bool nullSource);

private:
    void startNull(const QString& why);
    void fallBack(const QString& why);
    void watchDevices();
    void readNull();
    void readCard();

    std::string m_chosenInput, m_chosenOutput;
    float m_peak = 0.0f;
    double m_nullPace;
    std::vector<float> m_nullInput;
    std::size_t m_nullInputPos = 0;

    QMediaDevices* m_devices = nullptr;
    std::unique_ptr<QAudioSource> m_source;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_in = nullptr;
    QIODevice* m_out = nullptr;
    QByteArray m_inputId, m_outputId;
    std::unique_ptr<Resampler> m_inResampler, m_outResampler;
    int m_deviceRate = kRate;
    bool m_null = true;
    QString m_failure; // set by a device's signal, acted on at the next step

    QElapsedTimer m_clock;
    qint64 m_nullStartMs = 0;
    uint64_t m_nullConsumed = 0;
    std::size_t m_nullOutDue = 0;
    qint64 m_lastInputMs = 0;

    uint64_t m_written = 0;       // output samples given to play()
    uint64_t m_playedBase = 0;    // m_written when the sink started
    std::size_t m_room = 0;       // device samples free, from room()
    std::vector<float> m_outLeft; // converted output that did not fit the sink yet
    std::vector<float> m_input, m_scratch, m_converted;
    std::vector<int16_t> m_pcmIn, m_pcmOut;
};

} // namespace tavrel
