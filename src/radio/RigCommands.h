#pragma once
// The band table and the set-frequency commands sent to the rig on a band button.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel {

struct BandInfo {
    std::string_view band; // "10", "15", "20", "40"
    uint32_t frequencyHz;  // the band's PSK31 calling frequency
};

// nullptr for a text that is not one of the four bands.
const BandInfo* findBand(std::string_view band);

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

// The bytes a band button sends for radio model item 63: "1" Icom, "2" Yaesu; any other model
// ("3" Kenwood included) or an unknown band sends nothing (empty).
std::string bandCommand(std::string_view band, std::string_view modelItem);

} // namespace tavrel
