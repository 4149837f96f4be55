// The palette file: good files blend their colours, a missing or damaged one leaves the built-in
// palette in place with a note saying why.

#include "modem/display/Palette.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(Palette, LevelsBlendBetweenTheGivenColoursAndHoldBeyondThem) {
    const auto p =
        parsePalette("# comment\r\n; another\r\n\r\n10 0 0 0\r\n110, 200, 100, 0\r\n210\t255 255 255\r\n");
    ASSERT_TRUE(p);
    // Black below the first level; half way to (200,100,0) at 60; half way on to white at 160.
    const std::pair<int, uint32_t> at[] = {{0, 0},           {10, 0},          {60, 0x643200u},
                                           {110, 0xc86400u}, {160, 0xe4b280u}, {255, 0xffffffu}};
    for (const auto& [level, rgb] : at)
        EXPECT_EQ((*p)[level], rgb) << level;
}

TEST(Palette, DamagedFilesAreRefusedWithTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"0 0 0\n255 1 1 1\n", "line 1: expected four numbers"},
        {"0 0 0 0 0\n255 1 1 1\n", "line 1: more than four numbers"},
        {"0 0 0 0\n255 256 0 0\n", "line 2: expected four numbers"},
        {"0 0 0 0\n255 -1 0 0\n", "line 2: expected four numbers"},
        {"0 0 0 0\n# fine\nblue\n", "line 3: expected four numbers"},
        {"100 0 0 0\n50 1 1 1\n", "line 2: levels must rise"},
        {"100 0 0 0\n100 1 1 1\n", "line 2: levels must rise"},
        {"0 0 0 0x10\n255 1 1 1\n", "line 1: expected four numbers"},
        {"0 0 0 0\n", "fewer than two colours"},
        {"# only comments\n", "fewer than two colours"},
    };
    for (const auto& [text, why] : cases) {
        std::string error;
        EXPECT_FALSE(parsePalette(text, &error)) << text;
        EXPECT_EQ(error.rfind(why, 0), 0u) << text << ": " << error;
    }
}

TEST(Palette, MissingOrDamagedFilesLeaveTheBuiltInColoursAndSayWhy) {
    TempDir dir;
    const auto file = dir.path / "spectrum.col";
    const std::pair<const char*, const char*> cases[] = {
        {nullptr, "spectrum.col not found: built-in colours"},
        {"0 0 0 0\n255 255 0\n", "spectrum.col damaged (line 2: expected four numbers"},
        {"0 9 9 9\n255 9 9 9\n", ""},
    };
    for (const auto& [text, problem] : cases) {
        if (text) std::ofstream(file) << text;
        const PaletteLoad load = loadPaletteFile(file);
        EXPECT_EQ(load.problem.substr(0, std::string(problem).size()), problem);
        EXPECT_EQ(load.fromFile, *problem == '\0') << problem;
        EXPECT_EQ(load.colours[128], load.fromFile ? 0x090909u : builtInPalette()[128]) << problem;
    }
    // The shipped file is good and runs from black to white.
    const PaletteLoad shipped =
        loadPaletteFile(std::filesystem::path(TAVREL_SOURCE_DIR) / "data" / "spectrum.col");
    ASSERT_TRUE(shipped.fromFile) << shipped.problem;
    EXPECT_EQ(shipped.colours[0], 0u);
    EXPECT_EQ(shipped.colours[255], 0xffffffu);
}
