#pragma once
// The phase reference a differential decoder compares each symbol with: a prediction of where the
// next symbol will lie (phase and size) from the symbols before it, each with its decided data
// removed.
//
// How far back to look depends on the channel. In white noise on a steady channel, a long average
// of past symbols holds the least noise (which brings differential detection close to coherent
// detection). On a fading channel the phase moves on from symbol to symbol, and a long average lags
// behind it: the last symbol alone, or a straight line through the last few carried one step on,
// follows it. So several predictors run side by side, each scored by how well it foretold the
// symbols of the last two seconds, and the best one gives the reference.

#include <array>
#include <complex>

namespace tavrel::psk31 {

class PhaseReference {
public:
    // Exponential memories of the averaging predictors (0 = the last symbol alone).
    static constexpr std::array<float, 5> kMemories{0.0f, 0.35f, 0.6f, 0.8f, 0.9f};
    // Lengths of the straight-line predictors (a least-squares line through that many symbols).
    static constexpr std::array<int, 4> kLines{2, 3, 4, 6};

    PhaseReference();

    // The expected next symbol (before its data), from the best predictor.
    std::complex<float> predict() const { return m_prediction[m_best]; }
    // The best averaging memory up to `longest`, for decoders that keep references of their own
    // (the lines count as the shortest memory).
    float bestMemory(float longest) const;

    // Takes the symbol just decided with its data removed (i.e. turned back by the data's phase),
    // and the phase turn per symbol that a small frequency offset adds (a unit phasor).
    void update(std::complex<float> x, std::complex<float> turn);
    void reset();

private:
    static constexpr int kAveraging = static_cast<int>(kMemories.size());
    static constexpr int kCount = kAveraging + static_cast<int>(kLines.size());
    static constexpr int kHistory = 6;

    std::array<std::array<float, kHistory>, kLines.size()> m_lineTaps{};
    std::array<std::complex<float>, kAveraging> m_sum{};
    std::array<std::complex<float>, kHistory> m_last{}; // newest first, turned on to the next symbol
    std::array<std::complex<float>, kCount> m_prediction{};
    std::array<float, kCount> m_error{};
    float m_power = 0.0f;
    int m_updates = 0;
    int m_best = 2; // a middle memory until the scores say otherwise
};

} // namespace tavrel::psk31
