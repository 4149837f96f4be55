#pragma once
// A modem that records every call in order and raises events when a test asks.

#include "modem/Modem.h"

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

namespace tavrel {

class FakeModem : public Modem {
    Q_OBJECT
public:
    explicit FakeModem(QObject* parent = nullptr) : Modem(parent) {}
    ~FakeModem() override;

    int RxFreq() const override { return m_rxFreq; }
    void setRxFreq(int hz) override { note("RxFreq=", m_rxFreq = hz); }
    int TxFreq() const override { return m_txFreq; }
    void setTxFreq(int hz) override { note("TxFreq=", m_txFreq = hz); }
    double DialFreq() const override { return m_dialFreq; }
    void setDialFreq(double khz) override { calls.push_back("DialFreq=" + std::to_string(m_dialFreq = khz)); }
    void setMode(int m) override { note("Mode=", mode = m); }
    void setSquelchThreshold(int v) override { note("SquelchThreshold=", squelchThreshold = v); }
    void setSquelchSpeed(int v) override { note("SquelchSpeed=", squelchSpeed = v); }
    int AfcLimit() const override { return m_afcLimit; }
    void setAfcLimit(int hz) override { note("AfcLimit=", m_afcLimit = hz); }
    void setSearchRange(int v) override { note("SearchRange=", searchRange = v); }
    void setTrimValue(int v) override { note("TrimValue=", trimValue = v); }
    void setDisplayType(int v) override { note("DisplayType=", displayType = v); }
    void setAuxSetting(int v) override { note("AuxSetting=", v); }
    void setIdText(const std::string& t) override { calls.push_back("IdText=" + (idText = t)); }
    int TxPending() const override { return static_cast<int>(m_queue.size()); }
    void SendText(const std::string& text) override;
    void StartTx(int m) override { calls.push_back("StartTx(" + std::to_string(lastStartTx = m) + ")"); }
    void EndTx() override;
    void AbortTx() override;
    void SetPttPort(const std::string& port, int line) override;
    void SetDisplayRange(int lowHz, int highHz) override;
    void LoadPalette(const std::string& path) override { calls.push_back("LoadPalette=" + path); }
    void StartModem(int device, int option) override;
    void Replay(int seconds) override { calls.push_back("Replay(" + std::to_string(seconds) + ")"); }
    QWidget* displayWidget() override;

    // Every call, e.g. "RxFreq=1200", "SendText=<text>", "StartTx(0)".
    std::vector<std::string> calls;
    std::string sent; // everything handed to SendText, in order
    std::string idText;
    int mode = -1, squelchThreshold = -1, squelchSpeed = -1, searchRange = -1, trimValue = 0;
    int displayType = -1, pttPort = -1, pttLine = -1, rangeLow = -1, rangeHigh = -1;
    int lastStartTx = -1;
    int endTxCount = 0;

    // Test controls.
    void setPending(int n) { m_queue.assign(static_cast<size_t>(n), 'x'); } // pretend n are still queued
    void drain(int n); // n characters leave the queue (as if sent)
    // n characters go on the air: each leaves the queue and is echoed through RxCharRdy, as the
    // real modem reports our own characters while transmitting.
    void transmit(int n);
    void raiseRxChar(int code) { emit RxCharRdy(code, 0); }
    void raiseTxState(int state) { emit TxStateChg(state); }
    void raiseStatus(int freq, int level) { emit StatusRdy(freq, level); }
    void raiseImd(int imd) { emit IMDRdy(imd, 0); }
    void raiseBand(const std::vector<HeardSignal>& heard) { emit BandRdy(heard); }
    void clearCalls() { calls.clear(); }
    int countCalls(const std::string& prefix) const;

private:
    void note(const char* what, int value) { calls.push_back(what + std::to_string(value)); }

    int m_rxFreq = 0, m_txFreq = 0, m_afcLimit = 0;
    double m_dialFreq = 0;
    std::string m_queue;
    QPointer<QWidget> m_display; // owned by whoever places it
};

} // namespace tavrel
