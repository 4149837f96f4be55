#pragma once
// The PSK31 modem component as the program sees it: these operations and four events, nothing
// else. Events are delivered on the user-interface thread, one at a time. Frequencies are audio
// hertz unless marked kHz; text is Windows-1252 bytes.

#include "modem/HeardSignal.h"

#include <QObject>
#include <QWidget>
#include <string>
#include <vector>

namespace tavrel {

class Modem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Modem() override = default;

    virtual int RxFreq() const = 0; // decoder centre, Hz
    virtual void setRxFreq(int hz) = 0;
    virtual int TxFreq() const = 0; // transmit audio frequency, Hz
    virtual void setTxFreq(int hz) = 0;
    virtual double DialFreq() const = 0; // radio dial, kHz
    virtual void setDialFreq(double khz) = 0;
    virtual void setMode(int mode) = 0; // 0 BPSK, 1 QPSK USB, 2 QPSK LSB
    virtual void setSquelchThreshold(int level) = 0;
    virtual void setSquelchSpeed(int speed) = 0; // 0 fast, 1 slow, else a variable value
    virtual int AfcLimit() const = 0;            // Hz, 0 = off
    virtual void setAfcLimit(int hz) = 0;
    virtual void setSearchRange(int hz) = 0;
    virtual void setTrimValue(int trim) = 0;   // -1000..1000
    virtual void setDisplayType(int kind) = 0; // 0..4
    virtual void setAuxSetting(int value) = 0;
    virtual void setIdText(const std::string& text) = 0;
    virtual int TxPending() const = 0; // characters queued, not yet sent

    virtual void SendText(const std::string& text) = 0; // appended to the transmit queue
    virtual void StartTx(int mode) = 0;                 // 0 transmit the queue, 4 tune carrier
    virtual void EndTx() = 0;                           // back to receive once the queue is sent; ends tune
    virtual void AbortTx() = 0;                         // stop at once, queue discarded
    // port: "1".."4" or a device path ("0" releases PTT); line 1 RTS, 2 DTR, 3 both.
    virtual void SetPttPort(const std::string& port, int line) = 0;
    virtual void SetDisplayRange(int lowHz, int highHz) = 0;
    virtual void LoadPalette(const std::string& path) = 0;
    virtual void StartModem(int device, int option) = 0;
    virtual void Replay(int seconds) = 0;
    // The sound card's input and output for StartModem(-1, ...): a device's id or description,
    // empty for the system default. Takes effect at the next StartModem.
    virtual void setSoundDevices(const std::string& input, const std::string& output) {
        (void)input;
        (void)output;
    }

    // The component's display, placed by the main window.
    virtual QWidget* displayWidget() = 0;

signals:
    void RxCharRdy(int code, int unused);
    void TxStateChg(int state); // 0 receiving, 1 transmitting
    void StatusRdy(int freq, int level);
    void IMDRdy(int imd, int channel);
    // Every PSK31 station heard in the display range, with its new text: four times a second.
    void BandRdy(const std::vector<tavrel::HeardSignal>& heard);
    // The loudest input since the last report, in dBFS (full scale 0): with every status report.
    void InputPeak(double dbfs);
};

} // namespace tavrel
