#pragma once
// The psk31 sound-file tool:
//   psk31 encode --mode bpsk|qpsk-usb|qpsk-lsb --freq HZ [--amplitude A] "text" out.wav
//   psk31 decode --mode bpsk|qpsk-usb|qpsk-lsb --freq HZ [--afc HZ] [--search HZ] [--squelch N] in.wav
// encode writes a mono 16-bit WAV at 8000 samples/s (text given as UTF-8 is sent as Windows-1252);
// decode reads a mono file at any sample rate (resampled to 8000) and prints the text.

#include <iosfwd>
#include <string>
#include <vector>

namespace tavrel::psk31 {

// Runs the tool on its arguments (without the program name). Returns the exit code: 0 on success,
// 2 after a one-line error on `err` for any bad input.
int runPsk31Tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tavrel::psk31
