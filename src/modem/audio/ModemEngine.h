#pragma once
// The modem's audio thread (see PskModem): every 10 ms it takes the UI's commands, reads the sound
// input, feeds the receiver, the replay history and the display feed, tops up the output from the
// over sequencer and reports back through queued signals. The parts do the work: OverSequencer (the
// over and the transmitter), SoundIo (the card or the null source), ReplayHistory, DisplayFeed.
//
// The UI thread talks to it only through a lock-free command ring (post()) and a few atomics
// (publishedFrequency(), level(), steps(), displayTaken()).

#include "modem/audio/DisplayFeed.h"
#include "modem/audio/EngineCommand.h"
#include "modem/audio/OverSequencer.h"
#include "modem/audio/ReplayHistory.h"
#include "modem/audio/SoundIo.h"
#include "modem/audio/SpscRing.h"
#include "modem/psk31/Receiver.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class QTimer;

namespace tavrel {

class BandWorker;

struct EngineSetup {
    double nullPace = 1.0;        // speed of the null source: 1 = real time
    std::vector<float> nullInput; // audio the null source plays before its silence (tests, benchmarks)
};

class ModemEngine : public QObject {
    Q_OBJECT
public:
    static constexpr int kStepMs = 10;
    static constexpr std::size_t kCommandCapacity = 4096;

    // Built on the UI thread (the DSP's FFT plans are made here, one modem at a time), then moved.
    explicit ModemEngine(EngineSetup setup);
    ~ModemEngine() override;

    // UI thread: false when the ring is full (the caller keeps the command and tries later).
    bool post(const EngineCommand& c) { return m_commands.push(c); }
    // (seq << 32) | Hz: the receive frequency after search and AFC, and the frequency write it follows.
    uint64_t publishedFrequency() const { return m_frequency.load(std::memory_order_acquire); }
    int level() const { return m_level.load(std::memory_order_relaxed); }
    // UI thread: the loudest input sample (full scale 1) since the last call.
    float takePeak() { return m_peak.exchange(0.0f, std::memory_order_relaxed); }
    // The UI has drawn one display item.
    void displayTaken() { m_display.taken(); }
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
    void step();
    void apply(const EngineCommand& c);
    void handleInput(const std::vector<float>& in);
    void showDisplay(DisplayFeed::Item item);
    void writeOutput();
    void reportOver();
    void startReplay(int seconds);
    void publish();

    SpscRing<EngineCommand> m_commands{kCommandCapacity};
    std::atomic<uint64_t> m_frequency{0};
    std::atomic<int> m_level{0};
    std::atomic<float> m_peak{0.0f};
    std::string m_inputName, m_outputName; // the devices chosen, built from chunks
    std::atomic<uint64_t> m_steps{0};

    QTimer* m_timer = nullptr;
    SoundIo m_sound; // a child: it moves to the engine's thread with it
    OverSequencer m_over;
    psk31::Receiver m_rx;
    BandWorker* m_band = nullptr;
    ReplayHistory m_replay;
    DisplayFeed m_display{m_rx};
    uint32_t m_freqSeq = 0;
    ReplaySettings m_rxSettings;
    uint64_t m_inputCount = 0; // input samples taken (at 8000/s)
    uint64_t m_muteUntil = 0;  // input sample count until which decoded text is dropped

    std::vector<float> m_outBuf;
    std::string m_text;
};

} // namespace tavrel
