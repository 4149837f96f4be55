#pragma once
// The modem's audio/DSP side: lives on its own thread (see PskModem), owns the PSK31 transmitter,
// the receivers and the spectrum, and the sound devices' input and output.
//
// The UI thread talks to it only through a lock-free command ring (post()) and a few atomics
// (publishedFrequency(), level()); results come back as queued signals. Every 10 ms the engine
// takes the commands, reads the input, feeds the receiver and the spectrum, tops up the output and
// reports: characters as they go on the air (airChars) or are decoded (received), the end of an over
// once its last sample has been played (overFinished), IMD readings and display data. Display data
// is rate-limited: at most kDisplayInFlight items wait on the UI thread, newer ones are dropped.
//
// Without a sound card (or after one fails) the engine runs on the null source: silence paced by
// the clock, at real time unless EngineSetup says otherwise (tests run it faster).

#include "modem/audio/SpscRing.h"
#include "modem/psk31/Receiver.h"
#include "modem/psk31/Spectrum.h"
#include "modem/psk31/Transmitter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVector>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAudioSource;
class QAudioSink;
class QIODevice;
class QMediaDevices;
class QTimer;

namespace tavrel {

class BandWorker;
class Resampler;

struct EngineCommand {
    enum class Kind : uint8_t {
        Text,     // text[0..length) joins the transmit queue; seq counts text commands
        IdClear,  // the identification text is emptied ...
        IdAppend, // ... and built from chunks
        Start,    // a = over number: send the queue, then idle reversals
        Tune,     // a = over number: steady carrier
        End,      // end the over once the queue is sent (the identification goes last)
        Abort,    // stop at once, queue dropped
        RxFreq,   // a = Hz, seq = the UI's frequency write counter
        TxFreq,   // a = Hz
        Mode,     // a = 0 BPSK, 1 QPSK USB, 2 QPSK LSB
        SquelchThreshold,
        SquelchSpeed,
        AfcLimit,
        SearchRange,
        Trim,
        Drive,        // a = transmit level 0..255
        DisplayKind,  // a = 0..4
        DisplayRange, // a, b = low and high Hz
        Bins,         // a = spectrum bins (the display's width)
        Replay,       // a = seconds of received audio to decode again
        OpenDevices,  // a = device (-1 default), b = option (0 null source, else sound card)
    };
    Kind kind = Kind::Text;
    uint8_t length = 0;
    int32_t a = 0;
    int32_t b = 0;
    uint32_t seq = 0;
    char text[48]{};
};

struct EngineSetup {
    double nullPace = 1.0;        // speed of the null source: 1 = real time
    std::vector<float> nullInput; // audio the null source plays before its silence (tests, benchmarks)
};

class ModemEngine : public QObject {
    Q_OBJECT
public:
    static constexpr int kStepMs = 10;
    static constexpr std::size_t kCommandCapacity = 4096;
    static constexpr int kHistorySeconds = 120;
    static constexpr int kDisplayInFlight = 3;
    static constexpr int kCarpetHalfSpanHz = 100;
    static constexpr int kRawSamples = 512;

    // Built on the UI thread (the DSP's FFT plans are made here, one modem at a time), then moved.
    explicit ModemEngine(EngineSetup setup);
    ~ModemEngine() override;

    // UI thread: false when the ring is full (the caller keeps the command and tries later).
    bool post(const EngineCommand& c) { return m_commands.push(c); }
    // (seq << 32) | Hz: the receive frequency after search and AFC, and the frequency write it follows.
    uint64_t publishedFrequency() const { return m_frequency.load(std::memory_order_acquire); }
    int level() const { return m_level.load(std::memory_order_relaxed); }
    // The UI has drawn one display item.
    void displayTaken() { m_displayInFlight.fetch_sub(1, std::memory_order_relaxed); }
    // Steps taken so far: a count that stops moving means the thread is stuck.
    uint64_t steps() const { return m_steps.load(std::memory_order_relaxed); }
    // Before the thread starts: the signal browser's decoder, handed a copy of what is received.
    void setBandWorker(BandWorker* band) { m_band = band; }

public slots:
    void begin();  // on the engine thread: starts the step timer
    void finish(); // on the engine thread: stops the timer, closes the devices

signals:
    // Characters whose first bit went on the air (as played), with 1 in `counted` for those that
    // came from the transmit queue and 0 for the identification.
    void airChars(quint32 over, QByteArray codes, QByteArray counted);
    void received(QByteArray codes);
    // The over has ended and its last sample has been played; textSeq is the last text command
    // taken before it ended.
    void overFinished(quint32 over, quint32 textSeq);
    void imdReading(int db);
    void spectrumRow(QVector<float> db, double lowHz, double highHz);
    void rawInput(QVector<float> samples);
    void phaseScope(QVector<float> xy, int level);
    // The sound path changed: a device opened, failed or went; nullSource tells which runs now.
    void audioMessage(QString text, bool nullSource);

private:
    struct Echo {
        uint8_t code;
        bool counted;
        uint64_t sample;
    };

    void step();
    void takeCommands();
    void apply(const EngineCommand& c);
    void openDevices(int device, int option);
    void closeDevices();
    void startNull(const QString& why);
    void fallBack(const QString& why);
    void readInput();
    void handleInput(const float* in, std::size_t n);
    void writeOutput();
    void generate(float* out, std::size_t n);
    void beforeGenerate();
    void deliverEchoes();
    void checkOverEnd();
    void startReplay(int seconds);
    void runReplay();
    void publish();
    void configureSpectrum();
    bool displayRoom();
    void emitDisplay(const float* in, std::size_t n);
    uint64_t playedSamples() const;
    bool transmitting() const { return m_overActive; }

    EngineSetup m_setup;
    SpscRing<EngineCommand> m_commands{kCommandCapacity};
    std::atomic<uint64_t> m_frequency{0};
    std::atomic<int> m_level{0};
    std::atomic<int> m_displayInFlight{0};
    std::atomic<uint64_t> m_steps{0};

    psk31::Transmitter m_tx;
    psk31::Receiver m_rx;
    psk31::Receiver m_replayRx;
    psk31::Spectrum m_spectrum;
    BandWorker* m_band = nullptr;
    uint32_t m_freqSeq = 0;
    int m_mode = 0, m_squelchThreshold = 0, m_squelchSpeed = 1, m_trim = 0;

    // The over on the air.
    uint32_t m_over = 0;
    bool m_overActive = false;
    bool m_startDue = false;
    bool m_tuneDue = false;
    bool m_endRequested = false;
    bool m_endGiven = false;
    bool m_idQueued = false;
    bool m_isTune = false;
    uint64_t m_endSample = 0;
    bool m_ended = false;
    uint32_t m_textSeq = 0;
    std::string m_idText;
    std::size_t m_uncountedAhead = 0;
    std::vector<Echo> m_echoes;
    std::array<psk31::TxEcho, psk31::Transmitter::kEchoCapacity> m_echoScratch{};
    uint64_t m_muteUntil = 0; // input sample count until which decoded text is dropped

    // Sound.
    QTimer* m_timer = nullptr;
    QMediaDevices* m_devices = nullptr;
    std::unique_ptr<QAudioSource> m_source;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_in = nullptr;
    QIODevice* m_out = nullptr;
    QByteArray m_inputId, m_outputId;
    std::unique_ptr<Resampler> m_inResampler, m_outResampler;
    int m_deviceRate = 8000;
    int m_device = -1;
    bool m_null = true;
    uint64_t m_written = 0;       // output samples generated (at 8000/s)
    uint64_t m_playedBase = 0;    // m_written when the sink started
    uint64_t m_inputCount = 0;    // input samples taken (at 8000/s)
    std::vector<float> m_outLeft; // converted output that did not fit the sink yet
    QString m_failure;            // set by a device's signal, acted on at the next step
    QElapsedTimer m_clock;
    qint64 m_nullStartMs = 0;
    uint64_t m_nullConsumed = 0;
    std::size_t m_nullOutDue = 0;
    std::size_t m_nullInputPos = 0;
    qint64 m_lastInputMs = 0;

    // Receive history for Replay, newest last.
    std::vector<int16_t> m_history;
    std::size_t m_historyPos = 0;
    std::size_t m_historyCount = 0;
    std::size_t m_replayLeft = 0;
    std::size_t m_replayPos = 0;
    std::string m_heldLive; // live text decoded while a replay runs

    // Display.
    int m_displayKind = 1;
    int m_rangeLow = 0, m_rangeHigh = 3000;
    int m_bins = 512;
    double m_carpetCentre = 0.0;
    std::vector<float> m_frame;
    std::vector<float> m_raw;
    std::size_t m_rawPos = 0;
    std::size_t m_sinceDisplay = 0;
    uint64_t m_lastScopeSymbol = 0;

    std::vector<float> m_inBuf, m_outBuf, m_scratch, m_converted;
    std::vector<int16_t> m_pcmIn, m_pcmOut;
};

} // namespace tavrel
