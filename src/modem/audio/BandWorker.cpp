#include "modem/audio/BandWorker.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tavrel {

namespace {
constexpr auto kStep = std::chrono::milliseconds(20);
}

BandWorker::BandWorker(Report report) : m_report(std::move(report)) {}

BandWorker::~BandWorker() {
    stop();
}

void BandWorker::start() {
    if (m_thread.joinable() || m_stop.load()) return;
    m_thread = std::thread([this] { run(); });
}

void BandWorker::stop() {
    m_stop.store(true);
    if (m_thread.joinable()) m_thread.join();
}

void BandWorker::feed(const float* in, std::size_t n) {
    while (n > 0) {
        Block b;
        b.n = static_cast<uint32_t>(std::min(n, kBlock));
        std::copy(in, in + b.n, b.samples);
        (void)m_ring.push(b); // a full ring: the worker is far behind, and this block is lost
        in += b.n;
        n -= b.n;
    }
}

void BandWorker::takeSettings() {
    const int mode = m_mode.load(std::memory_order_relaxed);
    if (mode != m_usedMode) m_decoder.setMode(psk31::modeFromInt(m_usedMode = mode));
    const int low = m_low.load(std::memory_order_relaxed), high = m_high.load(std::memory_order_relaxed);
    if (low != m_usedLow || high != m_usedHigh) m_decoder.setRange(m_usedLow = low, m_usedHigh = high);
    const int trim = m_trim.load(std::memory_order_relaxed);
    if (trim != m_usedTrim) m_decoder.setTrim(m_usedTrim = trim);
}

void BandWorker::run() {
    using Clock = std::chrono::steady_clock;
    auto reportAt = Clock::now() + std::chrono::milliseconds(kReportMs);
    Block b;
    while (!m_stop.load()) {
        takeSettings();
        while (m_ring.pop(b))
            m_decoder.process(b.samples, b.n);
        if (Clock::now() >= reportAt) {
            reportAt = Clock::now() + std::chrono::milliseconds(kReportMs);
            const std::size_t n = m_decoder.take(m_reports);
            std::vector<HeardSignal> heard;
            heard.reserve(n);
            for (std::size_t i = 0; i < n; ++i) {
                const auto& r = m_reports[i];
                heard.push_back({r.id, static_cast<int>(std::lround(r.hz)), r.level, r.text});
            }
            if (m_report) m_report(std::move(heard));
        }
        std::this_thread::sleep_for(kStep);
    }
}

} // namespace tavrel
