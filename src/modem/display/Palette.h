#pragma once
// The display's colours: 256 colours, one for each signal level from 0 (the noise floor and below)
// to 255 (50 dB or more above it), read from the palette file spectrum.col.
//
// File format (plain text, one entry a line):
//     LEVEL RED GREEN BLUE
// four whole numbers 0..255 separated by blanks, tabs or commas. Levels rise from line to line, and
// at least two lines are given; between two levels the colours are blended, below the first level
// the first colour is used and above the last the last. Blank lines and lines whose first non-blank
// character is '#' or ';' are comments. Anything else (a missing or extra number, a value out of
// range, a level that does not rise) makes the file damaged: it is then not used at all and the
// built-in palette stands in, as it does when the file is missing.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

// 0xRRGGBB for each level.
using Palette = std::array<uint32_t, 256>;

// The colours used when no good palette file is there: black through blue, cyan and yellow to white.
Palette builtInPalette();

// The palette a file's text describes; nullopt when it is damaged, with the reason (and the line
// number) in *error.
std::optional<Palette> parsePalette(std::string_view text, std::string* error = nullptr);

struct PaletteLoad {
    Palette colours;
    bool fromFile = false; // false: the built-in palette, `problem` says why
    std::string problem;
};
PaletteLoad loadPaletteFile(const std::filesystem::path& path);

} // namespace tavrel
