#include "modem/audio/ReplayHistory.h"

#include "modem/psk31/Psk31.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {
constexpr std::size_t kRate = 8000;

int16_t toInt16(float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 32767.0f / 32768.0f) * 32768.0f));
}
} // namespace

ReplayHistory::ReplayHistory() : m_audio(static_cast<std::size_t>(kSeconds) * kRate) {
    m_heldLive.reserve(4096);
    m_chunk.resize(kChunk);
}

void ReplayHistory::record(const float* in, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        m_audio.push(toInt16(in[i]));
}

bool ReplayHistory::start(int seconds, const ReplaySettings& s) {
    if (seconds <= 0 || running()) return false;
    const std::size_t wanted = static_cast<std::size_t>(std::min(seconds, kLongestReplay)) * kRate;
    const std::size_t n = std::min(wanted, m_audio.size());
    if (n == 0) return false;
    m_next = m_audio.end() - n;
    m_left = n;
    // A decoder of its own, set as the live one is now, starting fresh on the old audio. It never
    // searches: it decodes where the live decoder is.
    m_rx.setTrim(s.trim);
    m_rx.setMode(psk31::modeFromInt(s.mode));
    m_rx.setAfcLimit(s.afcLimit);
    m_rx.setSquelchThreshold(s.squelchThreshold);
    m_rx.setSquelchSpeed(s.squelchSpeed);
    m_rx.setFrequency(s.frequency);
    uint8_t drop[256];
    while (m_rx.readText(drop, sizeof drop) > 0) {
    }
    return true;
}

void ReplayHistory::holdLive(const uint8_t* text, std::size_t n) {
    m_heldLive.append(reinterpret_cast<const char*>(text), n);
}

void ReplayHistory::run(std::string& out) {
    if (!running()) return;
    const std::size_t n = std::min(m_left, kChunk);
    for (std::size_t i = 0; i < n; ++i)
        m_chunk[i] = static_cast<float>(m_audio.at(m_next + i)) / 32768.0f;
    m_next += n;
    m_left -= n;
    m_rx.process(m_chunk.data(), n);
    uint8_t text[512];
    for (std::size_t got; (got = m_rx.readText(text, sizeof text)) > 0;)
        out.append(reinterpret_cast<const char*>(text), got);
    if (m_left == 0) {
        out += m_heldLive;
        m_heldLive.clear();
    }
}

} // namespace tavrel
