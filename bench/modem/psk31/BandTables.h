#pragma once
// The receiver on simulated short-wave channels: fading, a strong neighbour, the squelch and a sound
// card clock off its rate. Each table prints its figures and a CSV block with every point's seed.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavrel::psk31::bench {

struct BandOptions {
    std::size_t chars = 1600; // characters of English a point
    uint32_t seed = 20261207; // base seed; every point's own seed is printed beside it
    std::string only;         // run only the rows whose label contains this text
};

void runFadingTable(const BandOptions& options);
void runNeighbourTable(const BandOptions& options);
void runSquelchTable(const BandOptions& options);
void runClockTable(const BandOptions& options);

} // namespace tavrel::psk31::bench
