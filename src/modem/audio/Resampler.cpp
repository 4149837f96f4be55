#include "modem/audio/Resampler.h"

#include <liquid/liquid.h>

#include <cmath>

namespace tavrel {

Resampler::Resampler(double fromRate, double toRate) : m_ratio(toRate / fromRate) {
    m_q = msresamp_rrrf_create(static_cast<float>(m_ratio), 60.0f);
}

Resampler::~Resampler() {
    msresamp_rrrf_destroy(static_cast<msresamp_rrrf>(m_q));
}

std::size_t Resampler::process(const float* in, std::size_t n, std::vector<float>& out) {
    const std::size_t room = static_cast<std::size_t>(std::ceil(n * m_ratio)) + 16;
    if (m_buf.size() < room) m_buf.resize(room);
    unsigned int produced = 0;
    msresamp_rrrf_execute(static_cast<msresamp_rrrf>(m_q), const_cast<float*>(in),
                          static_cast<unsigned int>(n), m_buf.data(), &produced);
    out.insert(out.end(), m_buf.begin(), m_buf.begin() + produced);
    return produced;
}

} // namespace tavrel
