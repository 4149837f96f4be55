#pragma once
// The real modem component: the sound card (default input and output at 8000 samples/s, or a
// silent real-time-paced null source when there is none), the transmit queue and its state, the
// status clock and the display. StatusRdy arrives every 100 ms (10 a second) whatever the
// sound card does: it is the program's clock.

#include "modem/Modem.h"

#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>

class QAudioSource;
class QAudioSink;
class QIODevice;

namespace tavrel {

class PskModem : public Modem {
    Q_OBJECT
public:
    explicit PskModem(QObject* parent = nullptr);
    ~PskModem() override;

    static constexpr int kSampleRate = 8000;
    static constexpr int kStatusIntervalMs = 100;

    int RxFreq() const override { return m_rxFreq; }
    void setRxFreq(int hz) override;
    int TxFreq() const override { return m_txFreq; }
    void setTxFreq(int hz) override;
    double DialFreq() const override { return m_dialFreq; }
    void setDialFreq(double khz) override { m_dialFreq = khz; }
    void setMode(int mode) override { m_mode = mode; }
    void setSquelchThreshold(int level) override { m_squelchThreshold = level; }
    void setSquelchSpeed(int speed) override { m_squelchSpeed = speed; }
    int AfcLimit() const override { return m_afcLimit; }
    void setAfcLimit(int hz) override { m_afcLimit = hz; }
    void setSearchRange(int hz) override { m_searchRange = hz; }
    void setTrimValue(int trim) override { m_trim = trim; }
    void setDisplayType(int kind) override { m_displayType = kind; }
    void setAuxSetting(int value) override { m_aux = value; }
    void setIdText(const std::string& text) override { m_idText = text; }
    int TxPending() const override { return static_cast<int>(m_queue.size()); }

    void SendText(const std::string& text) override;
    void StartTx(int mode) override;
    void EndTx() override;
    void AbortTx() override;
    void SetPttPort(int port, int line) override;
    void SetDisplayRange(int lowHz, int highHz) override;
    void LoadPalette(const std::string& path) override;
    void StartModem(int device, int option) override;
    void Replay(int seconds) override;
    QWidget* displayWidget() override;

    // True once StartModem found no sound card and runs on the null source.
    bool usingNullSource() const { return m_nullSource; }
    int txState() const { return m_txState; }

private:
    void tick();
    void setTxState(int state);
    void openAudio();

    int m_rxFreq = 1200, m_txFreq = 1200, m_mode = 0, m_squelchThreshold = 50, m_squelchSpeed = 1;
    int m_afcLimit = 50, m_searchRange = 0, m_trim = 0, m_displayType = 1, m_aux = 0;
    int m_rangeLow = 0, m_rangeHigh = 3000, m_pttPort = 0, m_pttLine = 0;
    double m_dialFreq = 0;
    std::string m_idText, m_palettePath, m_queue;
    int m_txState = 0;
    bool m_endPending = false;
    bool m_started = false;
    bool m_nullSource = true;
    QTimer m_statusTimer;
    std::unique_ptr<QAudioSource> m_source;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_input = nullptr;
    QPointer<QWidget> m_display;
};

} // namespace tavrel
