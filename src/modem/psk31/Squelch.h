#pragma once
// The receiver's signal level and squelch.
//
// Level: 0..100 from the decoder's signal quality q (0 on noise, 1 on a clean signal), read on a
// scale that puts 50 where copy is still useful: level = 100 q^0.576. In white noise (SNR in
// 2500 Hz) it reads about 23 at -16 dB (QPSK 15), 50 at -13 dB (QPSK 47), 72 at -10 dB, 88 at
// -6 dB and 97 at 0 dB; noise alone averages under 10 and stays under 40. It rises within about
// half a second and falls back at the squelch speed.
//
// Squelch: opens when the level reaches the threshold (0 = always open) and holds through fades. A
// character decoded while the copy of the last few symbols is poor, or the level is well below the
// threshold, is held back; when good copy
// returns within the hang time (1.5 s, or the squelch speed's time if longer) the held characters
// follow, and when it does not they are dropped and the squelch closes. So a fade inside a
// transmission loses nothing, and the noise after one prints nothing. Characters copied well while
// the level is still rising at the start of a transmission are held too, and follow once it opens.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrel::psk31 {

class Squelch {
public:
    static constexpr std::size_t kHeldCapacity = 32; // more than a hang time of characters

    // The level a quality (0..1) reads as.
    static float levelOf(float quality);

    void setThreshold(int threshold); // 0..100
    int threshold() const { return m_threshold; }
    // 0 = fast (0.25 s), 1 = slow (1 s), any other value v = v * 10 ms, clamped to 10..200.
    void setSpeed(int speed);

    // Once a symbol: the quality over about half a second, and over the last few symbols.
    void update(float quality, float recentQuality);

    float level() const { return m_level; }
    bool open() const { return m_threshold <= 0 || m_open; }

    // A decoded character: true when it may be printed now, after any that takeReleased() gives.
    // Otherwise it is held back or, with the squelch closed, dropped.
    bool admit(uint8_t c);
    // Moves held characters that good copy has released into `out` (oldest first).
    std::size_t takeReleased(uint8_t* out, std::size_t max);

    void reset();

private:
    int m_threshold = 0;
    float m_releasePerSymbol = 1.0f / 32.0f;
    int m_hangSymbols = 47;
    float m_level = 0.0f;
    bool m_open = false;
    bool m_good = true;  // the copy of the last few symbols reads above the threshold, the level near it
    int m_sinceGood = 0; // symbols since it last did
    int m_goodRun = 0;   // symbols of good copy (level aside) in a row (up to a few)
    bool m_release = false;
    std::array<uint8_t, kHeldCapacity> m_held{};
    std::size_t m_heldHead = 0;
    std::size_t m_heldCount = 0;
};

} // namespace tavrel::psk31
