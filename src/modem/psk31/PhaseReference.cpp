#include "modem/psk31/PhaseReference.h"

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {
namespace {

constexpr float kErrorAlpha = 1.0f / 64.0f; // scores over about two seconds
constexpr float kPowerAlpha = 1.0f / 16.0f;

} // namespace

PhaseReference::PhaseReference() {
    // A least-squares line through the last n symbols (at t = -1 .. -n), read at t = 0.
    for (std::size_t k = 0; k < kLines.size(); ++k) {
        const int n = kLines[k];
        const double mean = -(n + 1) / 2.0, spread = n * (double(n) * n - 1.0) / 12.0;
        for (int i = 1; i <= n; ++i)
            m_lineTaps[k][i - 1] = static_cast<float>(1.0 / n - mean * (-i - mean) / spread);
    }
}

float PhaseReference::bestMemory(float longest) const {
    return std::min(longest, m_best < kAveraging ? kMemories[m_best] : kMemories[0]);
}

void PhaseReference::update(std::complex<float> x, std::complex<float> turn) {
    if (!std::isfinite(x.real()) || !std::isfinite(x.imag())) return;
    // Score each prediction against what came, relative to the signal's recent size, so the strong
    // stretches of a fading signal do not outweigh the weak ones where the errors happen.
    m_power += kPowerAlpha * (std::norm(x) - m_power);
    // Not before every predictor has the symbols it needs: its start would count against it.
    if (m_power > 0.0f && m_updates >= kHistory) {
        for (int i = 0; i < kCount; ++i)
            m_error[i] += kErrorAlpha * (std::norm(x - m_prediction[i]) / m_power - m_error[i]);
    }
    for (int i = 0; i < kAveraging; ++i) {
        const float m = kMemories[i];
        m_sum[i] = (x + m * m_sum[i]) * turn;
        m_prediction[i] = (1.0f - m) * m_sum[i];
    }
    if (m_updates < kHistory) ++m_updates;
    std::copy_backward(m_last.begin(), m_last.end() - 1, m_last.end());
    m_last[0] = x;
    for (auto& v : m_last)
        v *= turn;
    for (std::size_t k = 0; k < kLines.size(); ++k) {
        std::complex<float> p{0.0f, 0.0f};
        for (int i = 0; i < kLines[k]; ++i)
            p += m_lineTaps[k][i] * m_last[i];
        m_prediction[kAveraging + k] = p;
    }
    int best = 0;
    for (int i = 1; i < kCount; ++i)
        if (m_error[i] < m_error[best]) best = i;
    m_best = best;
}

void PhaseReference::reset() {
    m_sum.fill({0.0f, 0.0f});
    m_last.fill({0.0f, 0.0f});
    m_prediction.fill({0.0f, 0.0f});
    m_error.fill(0.0f);
    m_power = 0.0f;
    m_updates = 0;
    m_best = 2;
}

} // namespace tavrel::psk31
