#include "radio/RigCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrel {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

struct BandRow {
    const char* band;
    const char* dial;
    double dialKHz;
    std::string icom;
    std::string yaesu;
};

const std::vector<BandRow>& bandTable() {
    static const std::vector<BandRow> rows = {
        {"10", "28.120.00", 28120, bytes({0xFE, 0xFE, 0x04, 0xE0, 0x05, 0x00, 0x00, 0x12, 0x28, 0xFD}),
         bytes({0x00, 0x20, 0x81, 0x02, 0x0A})},
        {"15", "21.070.00", 21070, bytes({0xFE, 0xFE, 0x04, 0xE0, 0x05, 0x00, 0x00, 0x07, 0x21, 0xFD}),
         bytes({0x00, 0x70, 0x10, 0x02, 0x0A})},
        {"20", "14.070.00", 14070, bytes({0xFE, 0xFE, 0x04, 0xE0, 0x05, 0x00, 0x00, 0x07, 0x14, 0xFD}),
         bytes({0x00, 0x70, 0x40, 0x01, 0x0A})},
        {"40", "7.035.00", 7035.0, bytes({0xFE, 0xFE, 0x04, 0xE0, 0x05, 0x00, 0x50, 0x03, 0x07, 0xFD}),
         bytes({0x00, 0x35, 0x70, 0x00, 0x0A})},
    };
    return rows;
}

TEST(BandCommand, EveryBandAndModelGivesTheExactBytes) {
    for (const BandRow& row : bandTable()) {
        SCOPED_TRACE(row.band);
        EXPECT_EQ(bandCommand(row.band, "1"), row.icom);
        EXPECT_EQ(bandCommand(row.band, "2"), row.yaesu);
        for (const char* silent : {"3", "", "0", "4", " 1", "1 ", "Icom"})
            EXPECT_EQ(bandCommand(row.band, silent), "") << "model '" << silent << "'";
    }
}

TEST(BandCommand, UnknownBandSendsNothing) {
    for (const char* band : {"", "80", "20m", " 20", "2"}) {
        EXPECT_EQ(bandCommand(band, "1"), "") << band;
        EXPECT_EQ(bandCommand(band, "2"), "") << band;
    }
}

TEST(BandTable, DialTextAndKilohertzOfEachBand) {
    for (const BandRow& row : bandTable()) {
        const BandInfo* b = findBand(row.band);
        ASSERT_NE(b, nullptr) << row.band;
        EXPECT_EQ(dialText(b->frequencyHz), row.dial);
        EXPECT_EQ(dialKHz(b->frequencyHz), row.dialKHz);
    }
}

// Frequencies off the table exercise every BCD digit position and both nibbles.
TEST(RigFrames, PackedBcdPutsTheLowestDigitPairFirst) {
    EXPECT_EQ(icomSetFrequency(12'345'678),
              bytes({0xFE, 0xFE, 0x04, 0xE0, 0x05, 0x78, 0x56, 0x34, 0x12, 0xFD}));
    EXPECT_EQ(icomSetFrequency(99'999'999),
              bytes({0xFE, 0xFE, 0x04, 0xE0, 0x05, 0x99, 0x99, 0x99, 0x99, 0xFD}));
    EXPECT_EQ(icomSetFrequency(3'573'000, 0x58, 0xE1),
              bytes({0xFE, 0xFE, 0x58, 0xE1, 0x05, 0x00, 0x30, 0x57, 0x03, 0xFD}));
    EXPECT_EQ(yaesuSetFrequency(12'345'670), bytes({0x67, 0x45, 0x23, 0x01, 0x0A}));
    // Yaesu counts in 10 Hz, so the last Hz digit is dropped.
    EXPECT_EQ(yaesuSetFrequency(10'138'709), bytes({0x70, 0x38, 0x01, 0x01, 0x0A}));
    EXPECT_EQ(dialText(10'138'709), "10.138.70");
}

} // namespace
} // namespace tavrel
