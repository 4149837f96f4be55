#pragma once
// The over as the program sees it, on the UI thread: the transmit state, TxPending, the over
// number, and what StartTx, EndTx, AbortTx and SendText become as commands for the audio thread's
// OverSequencer. Its reports come back here (airChars, overFinished). Plain C++: the host carries
// the commands over, keys PTT and raises the events.
//
// TxPending counts the queued characters whose first bit has not been played; it is right at every
// moment, also straight after SendText. Each over has a number: reports of an older or aborted over
// change nothing. When the engine reports the end of an over but text was queued after the last
// text it had taken, the over goes on (Start again, and End if one was pending).

#include "modem/audio/EngineCommand.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel {

class OverControl {
public:
    class Host {
    public:
        virtual ~Host() = default;
        virtual void post(const EngineCommand& c) = 0;
        virtual void keyPtt(bool on) = 0;
        // One of our characters (ASCII) has gone on the air.
        virtual void echo(uint8_t code) = 0;
    };

    explicit OverControl(Host& host) : m_host(host) {}

    int txState() const { return m_txState; } // 0 receiving, 1 transmitting
    int pending() const { return m_pending; }
    uint32_t over() const { return m_over; }

    // A word of its own after the last one sent ("73 de G4ABC*", never "73de G4ABC*").
    void setIdText(const std::string& text);
    void sendText(std::string_view text);
    // True when an over has started (TxStateChg(1) is due); while transmitting it changes nothing.
    bool startTx(int mode);
    void endTx();
    // True when an over was stopped (TxStateChg(0) is due). PTT drops when the fade has played.
    bool abortTx();

    // The engine's reports.
    void airChars(uint32_t over, std::string_view codes, std::string_view counted);
    // True when the program is back to receive (TxStateChg(0) is due now).
    bool overFinished(uint32_t over, uint32_t textSeq);
    // A fresh engine replaced one that hung: it is told the identification; the queue is gone.
    // True when an over was cut short (TxStateChg(0) is due).
    bool engineReplaced();

private:
    void postId();

    Host& m_host;
    std::string m_idText;
    int m_txState = 0;
    uint32_t m_over = 0;
    bool m_overAborted = false;
    bool m_overTune = false;
    bool m_endPending = false;
    int m_pending = 0;
    uint32_t m_textSeq = 0;
};

} // namespace tavrel
