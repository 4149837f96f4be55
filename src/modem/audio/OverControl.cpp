#include "modem/audio/OverControl.h"

#include "modem/psk31/Varicode.h"

namespace tavrel {

using K = EngineCommand::Kind;

void OverControl::setIdText(const std::string& text) {
    m_idText = text.empty() || text.front() == ' ' ? text : " " + text;
    postId();
}

void OverControl::postId() {
    m_host.post(engineCommand(K::IdClear));
    postTextChunks(K::IdAppend, m_idText, nullptr, [this](const EngineCommand& c) { m_host.post(c); });
}

void OverControl::sendText(std::string_view text) {
    // Count what the transmitter will send: bytes without an ASCII stand-in are left out.
    for (char ch : text)
        if (psk31::asciiForAir(static_cast<uint8_t>(ch)) >= 0) ++m_pending;
    postTextChunks(K::Text, text, &m_textSeq, [this](const EngineCommand& c) { m_host.post(c); });
}

bool OverControl::startTx(int mode) {
    // Keying again while already transmitting changes nothing, and keeps a pending EndTx.
    if (m_txState == 1) return false;
    ++m_over;
    m_overAborted = false;
    m_overTune = mode == 4;
    m_endPending = false;
    m_txState = 1;
    m_host.keyPtt(true); // before the engine makes the first sample
    m_host.post(engineCommand(m_overTune ? K::Tune : K::Start, static_cast<int>(m_over)));
    return true;
}

void OverControl::endTx() {
    if (m_txState == 0) return;
    m_endPending = true;
    m_host.post(engineCommand(K::End, static_cast<int>(m_over)));
}

bool OverControl::abortTx() {
    m_pending = 0;
    m_host.post(engineCommand(K::Abort, static_cast<int>(m_over)));
    if (m_txState == 0) return false;
    m_overAborted = true;
    m_txState = 0;
    m_endPending = false;
    return true;
}

void OverControl::airChars(uint32_t over, std::string_view codes, std::string_view counted) {
    if (over != m_over || m_overAborted) return;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (counted[i] && m_pending > 0) --m_pending;
        m_host.echo(static_cast<uint8_t>(codes[i]));
    }
}

bool OverControl::overFinished(uint32_t over, uint32_t textSeq) {
    if (over != m_over || m_overAborted || m_txState == 0) {
        // An aborted over has faded out: PTT may drop unless another over has started.
        if (m_txState == 0) m_host.keyPtt(false);
        return false;
    }
    if (m_textSeq != textSeq && !m_overTune) {
        // Text was queued after the engine had ended the over but before we heard of it: it goes
        // out in this over.
        m_host.post(engineCommand(K::Start, static_cast<int>(m_over)));
        if (m_endPending) m_host.post(engineCommand(K::End, static_cast<int>(m_over)));
        return false;
    }
    m_txState = 0;
    m_endPending = false;
    m_host.keyPtt(false);
    return true;
}

bool OverControl::engineReplaced() {
    m_pending = 0;
    // The fresh engine counts text from nothing: an old count would look like text still to come.
    m_textSeq = 0;
    postId();
    if (m_txState == 0) return false;
    m_txState = 0;
    m_endPending = false;
    m_host.keyPtt(false);
    return true;
}

} // namespace tavrel
