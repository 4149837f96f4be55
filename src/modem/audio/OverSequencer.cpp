#include "modem/audio/OverSequencer.h"

#include <algorithm>

namespace tavrel {

OverSequencer::OverSequencer() {
    m_echoes.reserve(psk31::Transmitter::kEchoCapacity);
    m_events.reserve(psk31::Transmitter::kEchoCapacity);
}

bool OverSequencer::apply(const EngineCommand& c) {
    using K = EngineCommand::Kind;
    switch (c.kind) {
    case K::Text:
        m_tx.queueText(c.textView());
        m_textSeq = c.seq;
        return true;
    case K::IdClear:
        m_idText.clear();
        return true;
    case K::IdAppend:
        m_idText.append(c.textView());
        return true;
    case K::Start:
    case K::Tune:
        // An earlier over still fading out after an abort is over now.
        if (m_active) finish();
        m_over = static_cast<uint32_t>(c.a);
        m_active = true;
        m_startDue = true;
        m_isTune = c.kind == K::Tune;
        m_endRequested = m_endGiven = m_idQueued = m_ended = false;
        m_uncountedAhead = 0;
        m_echoes.clear();
        return true;
    case K::End:
        if (m_active && static_cast<uint32_t>(c.a) == m_over) m_endRequested = true;
        return true;
    case K::Abort:
        m_tx.abort();
        m_startDue = false;
        m_endRequested = m_endGiven = true;
        m_uncountedAhead = 0;
        m_echoes.clear();
        return true; // no-mutate: the engine has no Abort case of its own, so true and false do the same
    case K::TxFreq:
        m_tx.setFrequency(c.a);
        return true;
    case K::Drive:
        // Full drive leaves a little headroom below the card's full scale.
        m_tx.setAmplitude(0.9f * static_cast<float>(std::clamp(c.a, 0, 255)) / 255.0f);
        return true;
    default:
        return false;
    }
}

void OverSequencer::generate(float* out, std::size_t n) {
    beforeGenerate();
    m_tx.generate(out, n);
    const std::size_t got = m_tx.takeEchoes(m_echoScratch.data(), m_echoScratch.size());
    for (std::size_t i = 0; i < got; ++i) {
        const bool counted = m_uncountedAhead == 0;
        if (!counted) --m_uncountedAhead;
        m_echoes.push_back({m_echoScratch[i].character, counted, m_echoScratch[i].sample});
    }
}

void OverSequencer::beforeGenerate() {
    if (!m_active) return;
    const bool onAir = m_tx.state() == psk31::TxState::Transmitting;
    if (m_startDue) {
        if (onAir) return; // an aborted over is still fading out
        if (m_isTune)
            m_tx.tune();
        else
            m_tx.start();
        m_startDue = false;
        return;
    }
    if (!onAir || !m_endRequested || m_endGiven) return;
    if (m_isTune) {
        m_tx.endWhenDrained();
        m_endGiven = true;
    } else if (m_tx.pending() == 0) {
        // The queue is on the air: the identification goes last, then the over ends.
        if (!m_idQueued && !m_idText.empty()) {
            m_uncountedAhead += m_tx.queueText(m_idText);
            m_idQueued = true;
        } else {
            m_tx.endWhenDrained();
            m_endGiven = true;
        }
    }
}

void OverSequencer::deliverEchoes(uint64_t played) {
    std::size_t n = 0;
    for (; n < m_echoes.size() && m_echoes[n].sample <= played; ++n) {
        OverEvent e;
        e.over = m_over;
        e.code = m_echoes[n].code;
        e.counted = m_echoes[n].counted;
        m_events.push_back(e);
    }
    m_echoes.erase(m_echoes.begin(), m_echoes.begin() + static_cast<std::ptrdiff_t>(n));
}

void OverSequencer::advance(uint64_t played) {
    deliverEchoes(played);
    if (!m_active || m_startDue || m_tx.state() == psk31::TxState::Transmitting) return;
    if (m_tx.pending() > 0 && !m_isTune) {
        // Text came after the transmitter had ended the over but before its end was reported: it
        // still belongs to this over, and the identification goes after it again.
        m_tx.start();
        m_endGiven = m_idQueued = m_ended = false;
        return;
    }
    if (!m_ended) {
        m_ended = true;
        m_endSample = generated();
    }
    if (played < m_endSample) return;
    finish();
}

void OverSequencer::finish() {
    m_active = false;
    m_echoes.clear();
    OverEvent e;
    e.kind = OverEvent::Kind::Finished;
    e.over = m_over;
    e.textSeq = m_textSeq;
    m_events.push_back(e);
}

} // namespace tavrel
