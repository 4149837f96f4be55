#pragma once
// The amateur HF bands (and 6 m) the program tunes: each band's PSK31 calling frequency, its edges,
// and which band a dial frequency lies in.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavrel {

struct BandInfo {
    std::string_view band;  // metres: "160", "80", ... "6"; the band text of the log
    uint32_t frequencyHz;   // the dial frequency the band's button tunes, USB
    uint32_t lowHz, highHz; // band edges, the widest of the three IARU regions
    int presetMHz;          // MHz in front of the band's preset box (7, 14, 21, 28), or 0: no preset
};

// Every band, lowest frequency first.
std::span<const BandInfo> allBands();

// nullptr for a text that is not one of the bands ("20" is, "20m" and " 20" are not).
const BandInfo* findBand(std::string_view band);

// The band a dial frequency lies in (edges included), or nullptr outside every band.
const BandInfo* bandOfFrequency(uint64_t hz);

// A band preset box holds the kHz that follow the band's MHz ("035" after "7." is 7.035 MHz): digits
// with an optional fraction, blanks around them allowed. The frequency it names, or nullopt when the
// text is empty, is no such number, or names a frequency outside the band.
std::optional<uint32_t> presetFrequency(const BandInfo& band, std::string_view preset);

// What the band's button tunes: the preset when it names a frequency, else the band's own.
uint32_t bandFrequency(const BandInfo& band, std::string_view preset);

} // namespace tavrel
