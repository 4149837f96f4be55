#include "radio/BandPlan.h"
#include "radio/RigCommands.h"
#include "support/FakeSerial.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavrel {
namespace {

struct BandRow {
    const char* band;
    uint32_t hz;
    const char* dial;
    const char* icom;
    const char* yaesu;
    const char* kenwood;
};

// The four bands of the buttons keep their bytes; the others use the same frames.
const BandRow kBands[] = {
    {"160", 1'838'000, "1.838.00", "FE FE 04 E0 05 00 80 83 01 FD", "00 38 18 00 0A", "FA00001838000;"},
    {"80", 3'580'000, "3.580.00", "FE FE 04 E0 05 00 00 58 03 FD", "00 80 35 00 0A", "FA00003580000;"},
    {"60", 5'357'000, "5.357.00", "FE FE 04 E0 05 00 70 35 05 FD", "00 57 53 00 0A", "FA00005357000;"},
    {"40", 7'035'000, "7.035.00", "FE FE 04 E0 05 00 50 03 07 FD", "00 35 70 00 0A", "FA00007035000;"},
    {"30", 10'142'000, "10.142.00", "FE FE 04 E0 05 00 20 14 10 FD", "00 42 01 01 0A", "FA00010142000;"},
    {"20", 14'070'000, "14.070.00", "FE FE 04 E0 05 00 00 07 14 FD", "00 70 40 01 0A", "FA00014070000;"},
    {"17", 18'100'000, "18.100.00", "FE FE 04 E0 05 00 00 10 18 FD", "00 00 81 01 0A", "FA00018100000;"},
    {"15", 21'070'000, "21.070.00", "FE FE 04 E0 05 00 00 07 21 FD", "00 70 10 02 0A", "FA00021070000;"},
    {"12", 24'920'000, "24.920.00", "FE FE 04 E0 05 00 00 92 24 FD", "00 20 49 02 0A", "FA00024920000;"},
    {"10", 28'120'000, "28.120.00", "FE FE 04 E0 05 00 00 12 28 FD", "00 20 81 02 0A", "FA00028120000;"},
    {"6", 50'290'000, "50.290.00", "FE FE 04 E0 05 00 00 29 50 FD", "00 90 02 05 0A", "FA00050290000;"},
};

TEST(BandPlan, EveryBandTunesItsFrequencyWithEachModelsExactBytes) {
    ASSERT_EQ(allBands().size(), std::size(kBands));
    for (const BandRow& row : kBands) {
        SCOPED_TRACE(row.band);
        const BandInfo* b = findBand(row.band);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->frequencyHz, row.hz);
        EXPECT_EQ(bandOfFrequency(row.hz), b);
        EXPECT_EQ(dialText(row.hz), row.dial);
        EXPECT_EQ(dialKHz(row.hz), row.hz / 1000.0);
        EXPECT_EQ(hexBytes(setFrequencyCommand(row.hz, "1")), row.icom);
        EXPECT_EQ(hexBytes(setFrequencyCommand(row.hz, "2")), row.yaesu);
        EXPECT_EQ(setFrequencyCommand(row.hz, "3"), row.kenwood);
        for (const char* silent : {"4", "", "0", " 1", "1 ", "Icom"})
            EXPECT_EQ(setFrequencyCommand(row.hz, silent), "") << "model '" << silent << "'";
    }
    for (const char* band : {"", "11", "20m", " 20", "2"})
        EXPECT_EQ(findBand(band), nullptr) << band;
}

TEST(BandPlan, FrequencyToBandFollowsTheBandEdges) {
    const std::pair<uint64_t, const char*> cases[] = {
        {1'799'999, nullptr}, {1'800'000, "160"},     {2'000'000, "160"}, {3'573'000, "80"},
        {4'000'001, nullptr}, {5'366'500, "60"},      {7'000'000, "40"},  {7'300'000, "40"},
        {7'300'001, nullptr}, {10'136'000, "30"},     {14'350'000, "20"}, {18'068'000, "17"},
        {21'450'000, "15"},   {24'915'000, "12"},     {29'700'000, "10"}, {50'313'000, "6"},
        {9'500'000, nullptr}, {145'000'000, nullptr}, {0, nullptr}};
    for (auto [hz, band] : cases) {
        const BandInfo* b = bandOfFrequency(hz);
        EXPECT_EQ(b ? std::string(b->band) : std::string("none"), band ? band : "none") << hz;
    }
}

TEST(BandPlan, PresetIsTheKilohertzAfterTheBandsMegahertz) {
    const BandInfo& forty = *findBand("40");
    const BandInfo& twenty = *findBand("20");
    const struct {
        const BandInfo* band;
        const char* preset;
        std::optional<uint32_t> hz;
    } cases[] = {
        {&forty, "035", 7'035'000},
        {&forty, "35", 7'035'000},
        {&forty, " 040 ", 7'040'000},
        {&forty, "070.15", 7'070'150},
        {&twenty, "070.125", 14'070'125},
        {&twenty, "0", 14'000'000},
        {&forty, "", std::nullopt},
        {&forty, "abc", std::nullopt},
        {&forty, "035.", std::nullopt},
        {&forty, "035.1234", std::nullopt},
        {&forty, "-35", std::nullopt},
        {&forty, "35 kHz", std::nullopt},
        {&forty, "350", std::nullopt},
        {&twenty, "1000", std::nullopt},
        {findBand("80"), "580", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.band->band) + " '" + c.preset + "'");
        EXPECT_EQ(presetFrequency(*c.band, c.preset), c.hz);
        EXPECT_EQ(bandFrequency(*c.band, c.preset), c.hz.value_or(c.band->frequencyHz));
    }
}

// Frequencies off the table exercise every BCD digit position and both nibbles.
TEST(RigFrames, PackedBcdPutsTheLowestDigitPairFirst) {
    EXPECT_EQ(hexBytes(icomSetFrequency(12'345'678)), "FE FE 04 E0 05 78 56 34 12 FD");
    EXPECT_EQ(hexBytes(icomSetFrequency(99'999'999)), "FE FE 04 E0 05 99 99 99 99 FD");
    EXPECT_EQ(hexBytes(icomSetFrequency(3'573'000, 0x58, 0xE1)), "FE FE 58 E1 05 00 30 57 03 FD");
    EXPECT_EQ(hexBytes(yaesuSetFrequency(12'345'670)), "67 45 23 01 0A");
    // Yaesu counts in 10 Hz, so the last Hz digit is dropped.
    EXPECT_EQ(hexBytes(yaesuSetFrequency(10'138'709)), "70 38 01 01 0A");
    EXPECT_EQ(dialText(10'138'709), "10.138.70");
    EXPECT_EQ(kenwoodSetFrequency(7'070'150), "FA00007070150;");
}

} // namespace
} // namespace tavrel
