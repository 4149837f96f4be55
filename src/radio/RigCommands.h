#pragma once
// The set-frequency commands sent to the rig on a band button, and the dial texts.

#include "radio/BandPlan.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel {

// Dial text shown in the rig panel: MHz, kHz and tens of Hz, "28.120.00", "7.035.00".
std::string dialText(uint32_t frequencyHz);
// Dial frequency handed to the modem, in kHz (28120, 7035).
double dialKHz(uint32_t frequencyHz);

// Icom CI-V set-frequency frame: FE FE, rig address, controller address, 05, four bytes of packed BCD
// Hz (lowest pair first), FD. Frequencies are taken modulo 100 MHz (eight digits).
std::string icomSetFrequency(uint32_t frequencyHz, uint8_t rigAddress = 0x04,
                             uint8_t controllerAddress = 0xE0);
// Yaesu five-byte block: four bytes of packed BCD in units of 10 Hz (lowest pair first), opcode 0A.
std::string yaesuSetFrequency(uint32_t frequencyHz);

// Kenwood: "FA", the frequency in Hz as eleven digits, ";" (ASCII).
std::string kenwoodSetFrequency(uint32_t frequencyHz);

// The bytes that tune the rig of radio model item 63: "1" Icom, "2" Yaesu, "3" Kenwood; any other
// model sends nothing (empty).
std::string setFrequencyCommand(uint32_t frequencyHz, std::string_view modelItem);

} // namespace tavrel
