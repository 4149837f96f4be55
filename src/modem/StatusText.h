#pragma once
// The arithmetic and texts of the status area: absolute frequencies and their grouping, the
// signal bar's mask, the UTC clock.

#include "core/Clock.h"

#include <string>

namespace tavrel {

// (audioHz / 1000 + dialKhz) * 1000 as decimal text, e.g. 1500 Hz on 7035 kHz gives "7036500". On
// the lower sideband the audio lies below the dial: "7033500".
std::string absoluteFrequency(int audioHz, double dialKhz, bool lowerSideband = false);

// 14071500 shown as "14,071,500" (dial 10000 kHz or more) and 7036500 as "7,036,500". A text too
// short for the pattern is shown as it stands.
std::string groupFrequency(const std::string& s, double dialKhz);

// Height of the mask over the coloured column: 1335 - 13.2 x level, never below 0. Levels
// above 101 leave the whole column uncovered, as 101 does.
double signalMaskHeight(int level);

// The squelch lamp is green only above the threshold; the IMD figure is red from -18 dB up.
bool squelchOpen(int level, int threshold);
bool imdTooHigh(int imdDb);

// hh:mm:ss in UTC. With a whole-hour offset in the GMT setting the UTC hour is the local hour
// less the offset (the local minutes and seconds kept); with a setting that holds no number
// (empty, "abc") it is the system's own UTC time.
std::string utcClock(const Clock& clock, const std::string& gmtOffsetItem);

} // namespace tavrel
