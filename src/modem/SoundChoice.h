#pragma once
// The sound card as the operator chooses it: which input and output device, how hard the
// transmitter is driven, and how loud the input is.
//
// A device is kept in the settings by its id (stable across restarts with PulseAudio and
// PipeWire); its description is taken too, for a name typed by hand. An empty choice is the
// system's default device, which then follows the desktop's own choice.

#include <cstddef>
#include <string>
#include <vector>

namespace tavrel {

struct SoundDevice {
    std::string id;
    std::string description;
};

// The index in `devices` of the chosen device, or -1 for the default: when nothing is chosen or
// the chosen device is not there (unplugged); `missing` then says which of the two it was.
int pickDevice(const std::vector<SoundDevice>& devices, const std::string& chosen, bool* missing = nullptr);

// AuxSetting from the drive setting in percent: 0..255 of the card's full scale. Nothing or no
// number gives 253, the level the program has always started with.
int driveFromPercent(const std::string& percentItem);
// The percent shown for a drive setting (253 shows as 99).
int percentFromDrive(int aux);

// Input level meter: the highest sample magnitude (full scale 1.0) in dBFS, not below kFloorDbfs.
inline constexpr double kFloorDbfs = -90.0;
inline constexpr double kClipDbfs = -1.0; // at or above this the input is about to clip
double peakDbfs(float peak);
float peakOf(const float* samples, std::size_t n);

} // namespace tavrel
