#pragma once
// The real modem component: PSK31 on the sound card, with its display and its own PTT line.
//
// Threads: the DSP and the sound devices run on an audio thread (modem/audio/ModemEngine); this
// object stays on the UI thread. Operations become commands in a lock-free ring (never a lock on the
// audio path); results come back as queued signals and reach the program as the four events, on the
// UI thread, one at a time. StatusRdy comes every 100 ms from a UI-thread clock whatever the sound
// card does: it is the program's clock. The over's rules are decided in two plain classes:
// OverControl here (transmit state, TxPending) and OverSequencer on the audio thread.
//
// What the operations mean here:
// - SendText queues text (Windows-1252; bytes above 127 go as their nearest ASCII, the few with none
//   are left out). TxPending counts the queued characters whose first bit has not been played yet;
//   it is kept on the UI thread and is right at every moment, also straight after SendText.
// - StartTx(0) keys PTT and starts an over: preamble, the queue, idle reversals while it is empty.
//   StartTx(4) tunes (steady carrier). While transmitting StartTx changes nothing and keeps a pending
//   EndTx. EndTx ends the over once the queue is sent: the IdText goes last, then the postamble;
//   text queued before the over has ended (TxStateChg(0)) still goes out in it. EndTx ends a tune at
//   once. AbortTx stops at once (8 ms fade) and drops the queue.
// - While transmitting, each of our characters is reported through RxCharRdy when its first bit is
//   played (the echo); decoding of the input is muted meanwhile and for 0.25 s after.
// - TxStateChg(1) when an over starts, TxStateChg(0) once its last sample has been played (after an
//   abort: at once). PTT is keyed before the first sample and dropped after the last.
// - IdText: sent as identification at the end of every over that EndTx ends (not after a tune or
//   an abort), after a blank unless it begins with one; it is echoed but not counted in TxPending.
//   Empty: none.
// - AuxSetting: the transmit drive, 0..255 of the card's full scale (255 leaves 10% headroom).
// - Replay(n): the last n seconds of received audio (at most 110) are decoded again by a second
//   decoder at the present frequency and mode; the text arrives through RxCharRdy within a second or
//   two, and text decoded live meanwhile follows it. Ignored while transmitting.
// - StartModem(device, option): device -1 the default input and output, n >= 0 the n-th of Qt's
//   device lists; option 0 runs on the silent null source, any other value opens the sound card.
//   Calling it again with the same values changes nothing, except that a sound card that had failed
//   is tried again. With -1 it opens the devices setSoundDevices chose (a device that is not there
//   gives way to the default, and the audio status says so); a new choice reopens the card.
// - InputPeak: with every StatusRdy, the loudest input sample since the last one, in dBFS.
// - SetPttPort(port, line): port 1..4 is /dev/ttyS<port-1> (setPttDevice takes a device path); line
//   1 RTS, 2 DTR, 3 both; port 0 gives the port up. A port whose device goes away is closed and
//   reported (pttStatusChanged); the next SetPttPort, made by every settings re-apply, opens it again.
// - BandRdy: four times a second, every PSK31 station heard in the display range (at most 32, read
//   in the mode set) with the text decoded since the last report. A decoder of its own on a thread
//   of its own reads a copy of the input (not while transmitting, nor our own tail after an over).
// - TrimValue is the sound card's clock error in ppm; SearchRange snaps RxFreq writes (and display
//   clicks) to the strongest signal within that many Hz.

#include "modem/Modem.h"
#include "modem/audio/OverControl.h"
#include "modem/display/Palette.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QTimer>
#include <QVector>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrel {

class BandWorker;
class ModemDisplay;
class ModemEngine;
class PttPort;
struct EngineCommand;

class PskModem : public Modem, private OverControl::Host {
    Q_OBJECT
public:
    struct Options {
        // Speed of the null source (silence paced by the clock): 1 = real time. Tests run faster.
        double nullSourcePace = 1.0;
        // Audio the null source plays before its silence (tests, benchmarks).
        std::vector<float> nullSourceInput;
        // Makes the PTT line; the default opens a real serial port.
        std::function<std::unique_ptr<PttPort>()> pttFactory;
        // The signal browser's band decoder (benchmarks measure the modem without it too).
        bool bandDecoder = true;
    };

    explicit PskModem(QObject* parent = nullptr);
    explicit PskModem(Options options, QObject* parent = nullptr);
    ~PskModem() override;

    static constexpr int kStatusIntervalMs = 100;
    static constexpr int kHungAfterMs = 3000; // an audio thread silent this long is stuck

    int RxFreq() const override;
    void setRxFreq(int hz) override;
    int TxFreq() const override { return m_txFreq; }
    void setTxFreq(int hz) override;
    double DialFreq() const override { return m_dialFreq; }
    void setDialFreq(double khz) override { m_dialFreq = khz; }
    void setMode(int mode) override;
    void setSquelchThreshold(int level) override;
    void setSquelchSpeed(int speed) override;
    int AfcLimit() const override { return m_afcLimit; }
    void setAfcLimit(int hz) override;
    void setSearchRange(int hz) override;
    void setTrimValue(int trim) override;
    void setDisplayType(int kind) override;
    void setAuxSetting(int value) override;
    void setIdText(const std::string& text) override;
    int TxPending() const override { return m_overs.pending(); }

    void SendText(const std::string& text) override;
    void StartTx(int mode) override;
    void EndTx() override;
    void AbortTx() override;
    void SetPttPort(const std::string& port, int line) override;
    void SetDisplayRange(int lowHz, int highHz) override;
    void LoadPalette(const std::string& path) override;
    void StartModem(int device, int option) override;
    void Replay(int seconds) override;
    void setSoundDevices(const std::string& input, const std::string& output) override;
    QWidget* displayWidget() override;

    // PTT on a device given by path ("/dev/ttyUSB0"); an empty path gives the port up.
    void setPttDevice(const std::string& device, int line);
    bool pttOpen() const { return m_ptt != nullptr; }
    bool pttKeyed() const { return m_pttKeyed; }

    int txState() const { return m_overs.txState(); }
    int signalLevel() const;
    // The sound path: what runs now ("Sound: ..." or why the silent null source runs).
    QString audioStatus() const { return m_audioStatus; }
    bool usingNullSource() const { return m_nullSource; }

    // What a fresh engine is told to carry on as this one runs: every receive, transmit and
    // display setting as last written.
    std::vector<EngineCommand> settingsCommands() const;

signals:
    // The sound path changed (a device opened, failed or went away); also shown on the display.
    void audioStatusChanged(const QString& text);
    // The PTT port could not be opened, went away and was closed, or is back.
    void pttStatusChanged(const QString& text);

private:
    void makeEngine(std::vector<float> nullInput);
    bool stopEngine();
    void checkEngine();
    void resendSettings();
    void post(const EngineCommand& c) override;
    void post(int kind, int a = 0, int b = 0);
    void flush();
    void tick();
    void queueTxState(int state);
    void keyPtt(bool on) override;
    void echo(uint8_t code) override;
    void pttLost(PttPort* port);
    void onAirChars(quint32 over, const QByteArray& codes, const QByteArray& counted);
    void onOverFinished(quint32 over, quint32 textSeq);
    void onAudioMessage(const QString& text, bool nullSource);
    void showMessage();

    Options m_options;
    std::unique_ptr<BandWorker> m_band; // the signal browser's decoder, fed by the first engine
    bool m_bandFedByLostEngine = false;
    std::unique_ptr<ModemEngine> m_engine;
    QThread* m_thread = nullptr;
    uint64_t m_lastSteps = 0;
    QElapsedTimer m_stepsSeen;
    bool m_soundHung = false;
    std::deque<EngineCommand> m_backlog; // commands waiting for room in the ring
    QTimer m_statusTimer;
    bool m_started = false;
    bool m_opening = false; // devices asked for, no answer yet
    int m_device = 0, m_option = 0;
    std::string m_soundInput, m_soundOutput; // as chosen; sent with the next OpenDevices
    bool m_soundChoiceNew = false;

    int m_requestedRx = 1200;
    uint32_t m_freqSeq = 0;
    int m_txFreq = 1200, m_afcLimit = 0, m_displayType = 1, m_rangeLow = 0, m_rangeHigh = 3000;
    double m_dialFreq = 0;
    int m_mode = 0, m_squelchThreshold = 0, m_squelchSpeed = 1, m_searchRange = 0, m_trim = 0, m_drive = 227;

    OverControl m_overs{*this};

    std::unique_ptr<PttPort> m_ptt;
    int m_pttLine = 0;
    bool m_pttKeyed = false;
    std::string m_pttDevice;
    std::string m_pttLostDevice; // the device that went away, until it is open again

    QPointer<ModemDisplay> m_display;
    Palette m_palette;
    QString m_paletteProblem;
    QString m_audioStatus;
    bool m_nullSource = true;
};

} // namespace tavrel
