#include "modem/psk31/Squelch.h"

#include "modem/psk31/Psk31.h"

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {
namespace {

// The quality reads 0.30 at -13 dB in both modes; this power of it puts that at 50.
constexpr float kExponent = 0.576f;
constexpr float kRise = 0.25f; // a rising level follows within a few symbols
constexpr double kHangSeconds = 1.5;
constexpr float kLevelShare = 0.7f;
constexpr int kSteadyRun = 8; // symbols of good copy before a closed squelch keeps characters

} // namespace

float Squelch::levelOf(float quality) {
    return quality > 0.0f ? 100.0f * std::pow(std::min(quality, 1.0f), kExponent) : 0.0f;
}

void Squelch::setThreshold(int threshold) {
    m_threshold = std::clamp(threshold, 0, 100);
}

void Squelch::setSpeed(int speed) {
    double seconds = 0.25;
    if (speed == 1) {
        seconds = 1.0;
    } else if (speed != 0) {
        seconds = std::clamp(speed, 10, 200) * 0.01;
    }
    m_releasePerSymbol = static_cast<float>(1.0 / (seconds * kBaud));
    m_hangSymbols = static_cast<int>(std::lround(std::max(seconds, kHangSeconds) * kBaud));
}

void Squelch::update(float quality, float recentQuality) {
    const float now = levelOf(quality);
    const float rate = now > m_level ? kRise : m_releasePerSymbol; // no-mutate: any rate moves 0 by 0
    m_level += rate * (now - m_level);
    // A few symbols of noise read as clean copy now and then: good copy also needs a level well
    // above what noise reads, or the noise after a transmission would keep the squelch open and
    // print. (Not the threshold itself: a weak signal's level dips below it now and then.)
    const bool copy = levelOf(recentQuality) >= m_threshold;
    m_good = copy && m_level >= kLevelShare * m_threshold;
    m_sinceGood = m_good ? 0 : m_sinceGood + 1;
    m_goodRun = copy ? std::min(m_goodRun + 1, kSteadyRun) : 0;
    if (m_level >= m_threshold && m_good) m_open = true;
    if (m_open && m_good) m_release = true;
    if (m_sinceGood > m_hangSymbols && m_goodRun < kSteadyRun) {
        // Good copy did not come back (or never came): what was held came from noise, or from a
        // fade too deep to copy. Steady copy while the level is still rising at the start of an
        // over is neither: its characters wait for the level.
        m_open = false;
        m_heldCount = 0;
    }
}

bool Squelch::admit(uint8_t c) {
    if (m_threshold <= 0) return true;
    if (m_open && m_good && m_heldCount == 0) return true;
    // Held while the copy is poor inside a transmission, and while steady good copy builds up the
    // level at its start (so its first characters are not lost to the squelch opening; the few a
    // decoder makes up while it settles on the preamble are not kept).
    if (!m_open && m_goodRun < kSteadyRun) return false;
    m_held[(m_heldHead + m_heldCount) % kHeldCapacity] = c;
    if (m_heldCount < kHeldCapacity) {
        ++m_heldCount;
    } else {
        m_heldHead = (m_heldHead + 1) % kHeldCapacity;
    }
    return false;
}

std::size_t Squelch::takeReleased(uint8_t* out, std::size_t max) {
    if (!m_release && m_threshold > 0) return 0;
    std::size_t n = 0;
    while (n < max && m_heldCount > 0) {
        out[n++] = m_held[m_heldHead];
        m_heldHead = (m_heldHead + 1) % kHeldCapacity;
        --m_heldCount;
    }
    m_release = false;
    return n;
}

void Squelch::reset() {
    m_level = 0.0f;
    m_open = false;
    m_good = true;
    m_sinceGood = 0;
    m_goodRun = 0;
    m_release = false;
    m_heldCount = 0;
}

} // namespace tavrel::psk31
