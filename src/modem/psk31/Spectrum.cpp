#include "modem/psk31/Spectrum.h"

#include "modem/psk31/Psk31.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace tavrel::psk31 {

Spectrum::Spectrum(std::size_t fftSize, std::size_t hop)
    : m_size(std::max<std::size_t>(fftSize, 64)), m_hop(std::max<std::size_t>(hop, 1)), m_rate(kSampleRate),
      m_history(m_size, 0.0f), m_window(m_size), m_power(m_size / 2 + 1, 0.0f) {
    m_in = fftwf_alloc_real(m_size);
    auto* out = fftwf_alloc_complex(m_size / 2 + 1);
    m_out = out;
    m_plan = fftwf_plan_dft_r2c_1d(static_cast<int>(m_size), m_in, out, FFTW_ESTIMATE);
    double sum = 0.0;
    for (std::size_t i = 0; i < m_size; ++i) {
        m_window[i] = static_cast<float>(hannWindow(i, m_size));
        sum += m_window[i];
    }
    // A sine of amplitude 1 puts (sum/2)^2 into its bin.
    m_reference = (sum / 2.0) * (sum / 2.0);
    setRange(0.0, 4000.0, 512);
}

Spectrum::~Spectrum() {
    fftwf_destroy_plan(static_cast<fftwf_plan>(m_plan));
    fftwf_free(m_in);
    fftwf_free(static_cast<fftwf_complex*>(m_out));
}

void Spectrum::setRange(double lowHz, double highHz, std::size_t bins) {
    if (!std::isfinite(lowHz)) lowHz = 0.0;
    if (!std::isfinite(highHz)) highHz = m_rate / 2;
    if (highHz < lowHz) std::swap(lowHz, highHz); // no-mutate: swapping equal ends changes nothing
    m_low = std::clamp(lowHz, 0.0, m_rate / 2);
    m_high = std::clamp(highHz, 0.0, m_rate / 2);
    if (m_high <= m_low) m_high = std::min(m_rate / 2, m_low + 1.0);
    if (m_high <= m_low) m_low = m_high - 1.0;
    m_bins = std::max<std::size_t>(bins, 1);
    m_frames = HistoryRing<std::vector<float>>(kMaxQueuedFrames, std::vector<float>(m_bins, kFloorDb));
    m_nextFrame = 0;
}

void Spectrum::setTrim(int ppm) {
    m_rate = trimmedRate(ppm);
}

void Spectrum::process(const float* in, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        m_history[m_pos] = in[i];
        if (++m_pos == m_size) m_pos = 0;
        if (++m_sinceFrame >= m_hop) {
            m_sinceFrame = 0;
            makeFrame();
        }
    }
}

void Spectrum::makeFrame() {
    for (std::size_t i = 0; i < m_size; ++i)
        m_in[i] = m_history[(m_pos + i) % m_size] * m_window[i];
    fftwf_execute(static_cast<fftwf_plan>(m_plan));
    const auto* out = static_cast<const fftwf_complex*>(m_out);
    const std::size_t nfft = m_size / 2 + 1;
    for (std::size_t k = 0; k < nfft; ++k)
        m_power[k] = out[k][0] * out[k][0] + out[k][1] * out[k][1];

    float* frame = m_frames.pushSlot().data(); // over the oldest when the queue is full
    const double binHz = m_rate / m_size;
    const double span = (m_high - m_low) / m_bins;
    for (std::size_t b = 0; b < m_bins; ++b) {
        const double f0 = (m_low + b * span) / binHz;
        const double f1 = (m_low + (b + 1) * span) / binHz;
        double p;
        const auto k0 = static_cast<std::size_t>(std::ceil(f0));
        const auto k1 = static_cast<std::size_t>(std::min(std::floor(f1), double(nfft - 1)));
        if (k1 >= k0 && std::ceil(f0) < f1) {
            p = 0.0;
            for (std::size_t k = k0; k <= k1; ++k)
                p = std::max(p, double(m_power[k]));
        } else {
            // Narrower than an FFT bin: interpolate at the bin's centre.
            const double c = std::min((f0 + f1) / 2.0, double(nfft - 1));
            const auto k = static_cast<std::size_t>(c);
            const double frac = c - k;
            p = m_power[k] * (1.0 - frac) + m_power[std::min(k + 1, nfft - 1)] * frac;
        }
        frame[b] = std::max(kFloorDb, static_cast<float>(10.0 * std::log10(p / m_reference + 1e-30)));
    }
}

std::size_t Spectrum::framesReady() const {
    return static_cast<std::size_t>(m_frames.end() - std::max(m_nextFrame, m_frames.begin()));
}

bool Spectrum::takeFrame(float* out) {
    if (framesReady() == 0) return false;
    m_nextFrame = std::max(m_nextFrame, m_frames.begin());
    std::copy_n(m_frames.at(m_nextFrame).data(), m_bins, out);
    ++m_nextFrame;
    return true;
}

} // namespace tavrel::psk31
