#pragma once
// Varicode, the PSK31 alphabet: ASCII 0..127 as variable-length bit patterns that start and end
// with 1 and never contain "00"; characters are separated by at least two zero bits.

#include <cstdint>
#include <string_view>

namespace tavrel::psk31 {

struct VaricodeWord {
    uint16_t bits = 0;  // the code, first bit sent in the most significant used position
    uint8_t length = 0; // number of bits, 1..10
};

// The code of an ASCII character (0..127). Bytes above 127 must go through asciiForAir() first.
VaricodeWord varicodeOf(uint8_t ascii);

// What goes on the air for a Windows-1252 byte: the byte itself for 0..127; for 128..255 the nearest
// plain ASCII character (accented letters lose their accent, typographic quotes and dashes become
// ' " -, no-break space becomes a space), or -1 when there is no sensible equivalent (the byte is
// then not sent at all).
int asciiForAir(uint8_t byte);

// Bit-serial varicode decoder. Feed every received bit; a character comes out when the "00" that
// ends it arrives. Runs of zeros between characters are idle and produce nothing; a bit pattern
// that is no code (a noise hit) is dropped.
class VaricodeDecoder {
public:
    // Returns the decoded ASCII code (0..127), or -1 when this bit completes no character.
    int push(int bit);
    void reset();

private:
    uint32_t m_bits = 0;
    int m_count = 0;
    bool m_lastZero = true;
};

} // namespace tavrel::psk31
