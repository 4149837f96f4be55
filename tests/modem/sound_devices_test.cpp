// The sound card chosen in the program: which device is opened, the transmit drive, the meter.

#include "modem/SoundChoice.h"
#include "modem/widgets/InputMeter.h"
#include "support/FormHarness.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

TEST(SoundDevice, ChosenByIdOrDescriptionAndTheDefaultWhenGone) {
    const std::vector<SoundDevice> cards = {
        {"alsa_input.pci-0000_00_1f.3.analog-stereo", "Built-in Audio Analog Stereo"},
        {"alsa_input.usb-Burr-Brown_USB_Audio_CODEC-00.analog-stereo", "USB Audio CODEC Analog Stereo"},
        {"USB Audio CODEC Analog Stereo", "a card whose id is another's description"},
    };
    struct Case {
        const char* chosen;
        int index;
        bool missing;
    };
    const Case cases[] = {
        {"", -1, false},    // the system default
        {"   ", -1, false}, // blanks are nothing chosen
        {"alsa_input.usb-Burr-Brown_USB_Audio_CODEC-00.analog-stereo", 1, false},
        {" alsa_input.pci-0000_00_1f.3.analog-stereo ", 0, false},
        {"Built-in Audio Analog Stereo", 0, false},
        {"USB Audio CODEC Analog Stereo", 2, false}, // an id wins over a description
        {"alsa_input.usb-unplugged", -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        bool missing = !c.missing;
        EXPECT_EQ(pickDevice(cards, c.chosen, &missing), c.index);
        EXPECT_EQ(missing, c.missing);
    }
    bool missing = false;
    EXPECT_EQ(pickDevice({}, "Built-in Audio Analog Stereo", &missing), -1);
    EXPECT_TRUE(missing);
}

TEST(SoundDevice, DrivePercentBecomesTheModemsLevel) {
    const std::pair<const char*, int> cases[] = {{"", 253},    {"loud", 253}, {"0", 0},  {"50", 128},
                                                 {"100", 255}, {"150", 255},  {"-5", 0}, {"99.5", 254}};
    for (auto [item, aux] : cases)
        EXPECT_EQ(driveFromPercent(item), aux) << item;
    EXPECT_EQ(percentFromDrive(253), 99);
    EXPECT_EQ(percentFromDrive(driveFromPercent("37")), 37);
}

TEST(InputLevel, PeakInDbfsAndClippingHeldForTwoSeconds) {
    const float samples[] = {0.1f, -0.5f, 0.25f};
    EXPECT_FLOAT_EQ(peakOf(samples, 3), 0.5f);
    EXPECT_NEAR(peakDbfs(0.5f), -6.02, 0.01);
    EXPECT_DOUBLE_EQ(peakDbfs(1.0f), 0.0);
    EXPECT_DOUBLE_EQ(peakDbfs(0.0f), kFloorDbfs);
    EXPECT_DOUBLE_EQ(peakDbfs(1e-9f), kFloorDbfs);

    testApplication();
    InputMeter meter;
    meter.setPeak(-1.01);
    EXPECT_FALSE(meter.clipping());
    EXPECT_EQ(meter.figure->text(), "-1 dB");
    meter.setPeak(-1.0);
    EXPECT_TRUE(meter.clipping());
    EXPECT_EQ(meter.figure->text(), "clipping");
    for (int i = 1; i < InputMeter::kClipHoldReports; ++i)
        meter.setPeak(-30.0);
    EXPECT_TRUE(meter.clipping());
    meter.setPeak(-30.0);
    EXPECT_FALSE(meter.clipping());
    EXPECT_EQ(meter.figure->text(), "-30 dB");
}

} // namespace
