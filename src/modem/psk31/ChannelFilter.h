#pragma once
// The receiver's channel filter: the linear filter whose output, taken at a symbol's centre, is the
// least-mean-square estimate of that symbol, when the band holds white noise and a PSK31 station
// 50 Hz to either side, 20 dB stronger, at any symbol timing. It stands in for a matched filter and
// an equaliser: in white noise alone it is as good as the two (less than 0.01 dB apart), and it
// keeps a strong neighbour's skirt out of the decisions far better, since it may give up a little of
// the wanted signal's edge where the neighbour's power lies.

#include <vector>

namespace tavrel::psk31 {

// The taps (real, symmetric, odd in number, centre = symbol centre) at `samplesPerSymbol` samples a
// symbol, spanning `symbols` symbols; scaled so a lone symbol of amplitude 1 comes out as 1.
std::vector<float> designChannelFilter(int samplesPerSymbol, int symbols);

} // namespace tavrel::psk31
