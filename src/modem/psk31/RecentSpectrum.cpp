#include "modem/psk31/RecentSpectrum.h"

#include "modem/psk31/Psk31.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {

RecentSpectrum::RecentSpectrum() : m_history(kLength, 0.0f), m_window(kLength) {
    m_in = fftwf_alloc_real(kLength);
    auto* out = fftwf_alloc_complex(kBins);
    m_out = out;
    m_plan = fftwf_plan_dft_r2c_1d(static_cast<int>(kLength), m_in, out, FFTW_ESTIMATE);
    for (std::size_t i = 0; i < kLength; ++i)
        m_window[i] = static_cast<float>(hannWindow(i, kLength));
}

RecentSpectrum::~RecentSpectrum() {
    fftwf_destroy_plan(static_cast<fftwf_plan>(m_plan));
    fftwf_free(m_in);
    fftwf_free(static_cast<fftwf_complex*>(m_out));
}

void RecentSpectrum::push(const float* in, std::size_t n) {
    if (n >= kLength) {
        in += n - kLength;
        n = kLength;
    }
    while (n > 0) {
        const std::size_t chunk = std::min(n, kLength - m_pos);
        std::copy(in, in + chunk, m_history.begin() + static_cast<std::ptrdiff_t>(m_pos));
        m_pos = (m_pos + chunk) % kLength;
        in += chunk;
        n -= chunk;
    }
}

void RecentSpectrum::copyRecent(float* out) const {
    const auto at = m_history.begin() + static_cast<std::ptrdiff_t>(m_pos);
    std::copy(m_history.begin(), at, std::copy(at, m_history.end(), out));
}

void RecentSpectrum::transform() {
    const std::size_t older = kLength - m_pos;
    for (std::size_t i = 0; i < older; ++i)
        m_in[i] = m_history[m_pos + i] * m_window[i];
    for (std::size_t i = older; i < kLength; ++i)
        m_in[i] = m_history[i - older] * m_window[i];
    fftwf_execute(static_cast<fftwf_plan>(m_plan));
}

double RecentSpectrum::power(long k) const {
    const auto* out = static_cast<const fftwf_complex*>(m_out);
    return double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];
}

} // namespace tavrel::psk31
