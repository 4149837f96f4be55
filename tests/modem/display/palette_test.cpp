// The palette file: good files blend their colours, a missing or damaged one leaves the built-in
// palette in place with a note saying why.

#include "modem/display/Palette.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

TEST(Palette, LevelsBlendBetweenTheGivenColoursAndHoldBeyondThem) {
    const auto p =
        parsePalette("# comment\r\n; another\r\n\r\n10 0 0 0\r\n110, 200, 100, 0\r\n210\t255 255 255\r\n");
    ASSERT_TRUE(p);
    EXPECT_EQ((*p)[0], 0x000000u); // below the first level: its colour
    EXPECT_EQ((*p)[10], 0x000000u);
    EXPECT_EQ((*p)[60], 0x643200u); // half way from black to (200,100,0)
    EXPECT_EQ((*p)[110], 0xc86400u);
    EXPECT_EQ((*p)[160], 0xe4b280u); // half way on to white: (228,178,128)
    EXPECT_EQ((*p)[255], 0xffffffu); // above the last level: its colour
}

TEST(Palette, DamagedFilesAreRefusedWithTheLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"0 0 0\n255 1 1 1\n", "line 1: expected four numbers"},
        {"0 0 0 0 0\n255 1 1 1\n", "line 1: more than four numbers"},
        {"0 0 0 0\n255 256 0 0\n", "line 2: expected four numbers"},
        {"0 0 0 0\n255 -1 0 0\n", "line 2: expected four numbers"},
        {"0 0 0 0\n# fine\nblue\n", "line 3: expected four numbers"},
        {"100 0 0 0\n50 1 1 1\n", "line 2: levels must rise"},
        {"100 0 0 0\n100 1 1 1\n", "line 2: levels must rise"},
        {"0 0 0 0x10\n255 1 1 1\n", "line 1: expected four numbers"},
        {"0 0 0 0\n", "fewer than two colours"},
        {"", "fewer than two colours"},
        {"# only comments\n", "fewer than two colours"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_FALSE(parsePalette(c.text, &error));
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

TEST(Palette, MissingOrDamagedFilesFallBackToTheBuiltInColours) {
    TempDir dir;
    const PaletteLoad missing = loadPaletteFile(dir.path / "spectrum.col");
    EXPECT_FALSE(missing.fromFile);
    EXPECT_EQ(missing.colours, builtInPalette());
    EXPECT_EQ(missing.problem, "spectrum.col not found: built-in colours");

    std::ofstream(dir.path / "spectrum.col") << "0 0 0 0\n255 255 0\n";
    const PaletteLoad damaged = loadPaletteFile(dir.path / "spectrum.col");
    EXPECT_FALSE(damaged.fromFile);
    EXPECT_EQ(damaged.colours, builtInPalette());
    EXPECT_NE(damaged.problem.find("damaged (line 2"), std::string::npos) << damaged.problem;

    std::ofstream(dir.path / "spectrum.col") << "0 9 9 9\n255 9 9 9\n";
    const PaletteLoad good = loadPaletteFile(dir.path / "spectrum.col");
    EXPECT_TRUE(good.fromFile);
    EXPECT_TRUE(good.problem.empty());
    EXPECT_EQ(good.colours[128], 0x090909u);
}

TEST(Palette, TheShippedFileIsGoodAndRunsFromDarkToBright) {
    const PaletteLoad shipped =
        loadPaletteFile(std::filesystem::path(TAVREL_SOURCE_DIR) / "data" / "spectrum.col");
    ASSERT_TRUE(shipped.fromFile) << shipped.problem;
    const auto brightness = [](uint32_t c) { return ((c >> 16) & 255) + ((c >> 8) & 255) + (c & 255); };
    EXPECT_EQ(shipped.colours[0], 0u);
    EXPECT_EQ(shipped.colours[255], 0xffffffu);
    EXPECT_LT(brightness(shipped.colours[64]), brightness(shipped.colours[192]));
}

} // namespace
