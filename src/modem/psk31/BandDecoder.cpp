#include "modem/psk31/BandDecoder.h"

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {

BandDecoder::BandDecoder() : m_prime(BandScan::kLength, 0.0f) {
    for (auto& rx : m_rx)
        rx = std::make_unique<Receiver>();
}

BandDecoder::~BandDecoder() = default;

void BandDecoder::setMode(Mode mode) {
    m_mode = mode;
    for (std::size_t i = 0; i < kMaxChannels; ++i)
        if (m_channels[i].live) m_rx[i]->setMode(mode);
}

void BandDecoder::setRange(double lowHz, double highHz) {
    m_scan.setRange(lowHz, highHz);
    if (!std::isfinite(lowHz) || !std::isfinite(highHz)) return;
    m_low = std::min(lowHz, highHz);
    m_high = std::max(lowHz, highHz);
    for (std::size_t i = 0; i < kMaxChannels; ++i) {
        const double hz = m_rx[i]->frequency();
        if (hz < m_low || hz > m_high) m_channels[i].live = false;
    }
}

void BandDecoder::setTrim(int ppm) {
    m_trim = ppm;
    m_scan.setTrim(ppm);
    for (auto& rx : m_rx)
        rx->setTrim(ppm);
}

void BandDecoder::process(const float* in, std::size_t n) {
    while (n > 0) {
        const std::size_t k = std::min(n, kLookEvery - m_sinceLook);
        m_scan.push(in, k);
        for (std::size_t i = 0; i < kMaxChannels; ++i)
            if (m_channels[i].live) m_rx[i]->process(in, k);
        m_samples += k;
        m_sinceLook += k;
        in += k;
        n -= k;
        if (m_sinceLook == kLookEvery) {
            m_sinceLook = 0;
            lookAtBand();
        }
    }
}

void BandDecoder::lookAtBand() {
    const std::size_t found = m_scan.look(m_signals.data(), m_signals.size());
    // Heard now: read by its receiver, or there in this look (the mean lags a signal that has gone).
    for (std::size_t i = 0; i < kMaxChannels; ++i)
        if (m_channels[i].live && (m_rx[i]->signalLevel() >= kHeardLevel ||
                                   m_scan.strengthNow(m_rx[i]->frequency()) >= BandScan::kMinStrength))
            m_channels[i].heardAt = m_samples;
    for (std::size_t s = 0; s < found; ++s) {
        const double hz = m_signals[s].hz;
        std::size_t slot = kMaxChannels;
        bool known = false;
        for (std::size_t i = 0; i < kMaxChannels && !known; ++i) {
            Channel& c = m_channels[i];
            if (!c.live) {
                if (slot == kMaxChannels || m_channels[slot].live) slot = i;
            } else if (std::abs(m_rx[i]->frequency() - hz) < BandScan::kApartHz) {
                known = true;
            } else if (c.heardAt < m_samples &&
                       (slot == kMaxChannels ||
                        (m_channels[slot].live && c.heardAt < m_channels[slot].heardAt))) {
                slot = i; // all taken: the one heard least recently, if not heard now
            }
        }
        if (!known && slot < kMaxChannels) start(slot, hz);
    }
    merge();
    const auto dropAfter = static_cast<uint64_t>(kDropSeconds * kSampleRate);
    for (Channel& c : m_channels)
        if (c.live && m_samples - c.heardAt > dropAfter) c.live = false;
}

void BandDecoder::start(std::size_t slot, double hz) {
    Receiver& rx = *m_rx[slot];
    rx.setMode(m_mode);
    rx.setAfcLimit(kChannelAfcHz);
    rx.setSearchRange(0);
    rx.setSquelchThreshold(kChannelSquelch);
    rx.setSquelchSpeed(kChannelSquelchSpeed);
    rx.setFrequency(hz);
    uint8_t drop[256];
    while (rx.readText(drop, sizeof drop) > 0) {
    }
    // The scan needed a second or so to be sure of the signal: read that second too.
    m_scan.copyRecent(m_prime.data());
    rx.process(m_prime.data(), m_prime.size());
    m_channels[slot] = {true, m_nextId++, m_samples};
}

void BandDecoder::merge() {
    for (std::size_t i = 0; i < kMaxChannels; ++i) {
        for (std::size_t j = i + 1; j < kMaxChannels && m_channels[i].live; ++j) {
            if (!m_channels[j].live ||
                std::abs(m_rx[i]->frequency() - m_rx[j]->frequency()) >= BandScan::kApartHz)
                continue;
            const int li = m_rx[i]->signalLevel(), lj = m_rx[j]->signalLevel();
            const bool dropI = li < lj || (li == lj && m_channels[i].id > m_channels[j].id);
            m_channels[dropI ? i : j].live = false;
        }
    }
}

std::size_t BandDecoder::take(std::vector<Report>& out) {
    std::size_t n = 0;
    uint8_t text[256];
    for (std::size_t i = 0; i < kMaxChannels; ++i) {
        if (!m_channels[i].live) continue;
        if (out.size() <= n) out.resize(n + 1);
        Report& r = out[n++];
        r.id = m_channels[i].id;
        r.hz = m_rx[i]->frequency();
        r.level = m_rx[i]->signalLevel();
        r.text.clear();
        for (std::size_t got; (got = m_rx[i]->readText(text, sizeof text)) > 0;)
            r.text.append(reinterpret_cast<const char*>(text), got);
    }
    return n;
}

std::size_t BandDecoder::channelCount() const {
    return static_cast<std::size_t>(
        std::count_if(m_channels.begin(), m_channels.end(), [](const Channel& c) { return c.live; }));
}

} // namespace tavrel::psk31
