#include "app/Settings.h"
#include "support/FormHarness.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }

    static void writeSettingsWith(const std::filesystem::path& file, std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        for (auto [i, v] : items) s[i] = v;
        ASSERT_EQ(writeSettings(file, s), std::nullopt);
    }
};

TEST_F(StartupTest, FirstStartInEmptyFolderMakesDefaultsAndCallsTheModemInOrder) {
    FormHarness h;
    h.startup->startup();

    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(defaultSettings()));
    // The band restore of item 50 "20" saved the settings, so the first status event re-applies them.
    EXPECT_EQ(settingsChanged, 1);
    const std::vector<std::string> expected = {
        "SetDisplayRange(0,3000)", "IdText=de *", "DisplayType=1", "AuxSetting=253", "RxFreq=1200",
        "SquelchSpeed=1",
        "LoadPalette=" + (h.dir.path / "spectrum.col").string(), "StartModem(-1,1)", "DialFreq=14070.000000"};
    std::vector<std::string> modemCalls;
    for (const auto& c : h.modem.calls)
        if (c.rfind("SquelchThreshold", 0) != 0) modemCalls.push_back(c); // the slider's own echo
    EXPECT_EQ(modemCalls, expected);
    // Item 41 "0": no CAT port; item 26 empty: no PTT port handed over.
    EXPECT_TRUE(h.comm2.writes().empty());
    EXPECT_EQ(h.modem.pttPort, -1);
    EXPECT_EQ(h.form->state.currentBand, "20");
    EXPECT_EQ(h.form->state.qsoDateKey, "20261207");
    EXPECT_EQ(h.form->state.sep3, "   ");
    EXPECT_EQ(h.form->receiveControl->windows().history, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(StartupTest, DisplayRangeFollowsItem60) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{60, "3"}, {61, "500"}, {62, "2500"}});
    h.startup->startup();
    EXPECT_EQ(h.modem.rangeLow, 500);
    EXPECT_EQ(h.modem.rangeHigh, 2500);

    writeSettingsWith(h.file("tavrel.ini"), {{60, "2"}});
    h.startup->startup();
    EXPECT_EQ(h.modem.rangeHigh, 4000);

    // Any other text keeps the previous range.
    writeSettingsWith(h.file("tavrel.ini"), {{60, "Wide"}, {61, "1"}, {62, "2"}});
    h.startup->startup();
    EXPECT_EQ(h.modem.rangeLow, 0);
    EXPECT_EQ(h.modem.rangeHigh, 4000);
}

TEST_F(StartupTest, UnknownRangeOnFirstStartGivesZeroSpan) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{60, ""}});
    h.startup->startup();
    EXPECT_EQ(h.modem.calls.front(), "SetDisplayRange(0,0)");
}

TEST_F(StartupTest, CatPortOpensWithBaudParityDataStop) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"),
                      {{41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "2"}, {26, "3"}, {27, "1"}});
    h.startup->startup();
    const std::vector<std::string> expected = {"CommPort=1", "Settings=9600, N, 8, 2", "Handshaking=0",
                                               "PortOpen=1"};
    EXPECT_EQ(h.comm2.writes(), expected);
    EXPECT_TRUE(h.comm2.portOpen());
    EXPECT_FALSE(h.comm2.rtsEnable());
    EXPECT_EQ(h.modem.pttPort, 3);
    EXPECT_EQ(h.modem.pttLine, 1);
    EXPECT_EQ(Startup::catSettingsText("9600", "N", "8", "2"), "9600, N, 8, 2");
}

TEST_F(StartupTest, FailedOpeningWriteAbandonsTheRestSilently) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{41, "2"}, {42, "fast"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h.startup->startup();
    EXPECT_FALSE(h.comm2.portOpen());
    ASSERT_EQ(h.comm2.writes().size(), 2u);
    EXPECT_EQ(h.comm2.writes()[1], "Settings=fast, N, 8, 1 (failed)");
    // Start-up went on to the end: the modem started and the band was restored.
    EXPECT_EQ(h.modem.countCalls("StartModem(-1,1)"), 1);
    EXPECT_EQ(h.modem.calls.back(), "DialFreq=14070.000000");
}

TEST_F(StartupTest, ReapplyClosesAndReopensTheCatPortAndRunsStartupAgain) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h.startup->startup();
    h.comm2.clearRecord();
    h.modem.clearCalls();
    writeSettingsWith(h.file("tavrel.ini"),
                      {{0, "G4NEW"}, {41, "2"}, {42, "4800"}, {43, "7"}, {44, "E"}, {45, "2"}});
    settingsChanged = 1;
    h.startup->reapplySettings();

    const std::vector<std::string> expected = {"PortOpen=0", "CommPort=2", "Settings=4800, E, 7, 2",
                                               "Handshaking=0", "PortOpen=1",
                                               // start-up's own attempt finds the port open
                                               "CommPort=2 (failed)"};
    EXPECT_EQ(h.comm2.writes(), expected);
    EXPECT_EQ(h.comm2.commPort(), "2");
    EXPECT_EQ(h.modem.calls.front(), "SetPttPort(0,2)"); // made whatever item 26 holds
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    // Start-up inside the re-apply cleared the flag; its band restore set it again for the status
    // handling to clear after the radio panel switch.
    EXPECT_EQ(settingsChanged, 1);
}

TEST_F(StartupTest, ReapplyWithPttOnTheCatPortLeavesTheOpeningToStartup) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{41, "1"}, {26, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h.startup->reapplySettings();
    const std::vector<std::string> expected = {"CommPort=1", "Settings=9600, N, 8, 1", "Handshaking=0",
                                               "PortOpen=1"};
    EXPECT_EQ(h.comm2.writes(), expected);
}

TEST_F(StartupTest, MacroAndPresetCaptionsComeFromTheSettings) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{33, "Brag"}, {34, "Rig"}, {35, "Ant"}, {54, "Four"}, {28, "1000"},
                                             {29, "1100"}, {22, "1500"}, {23, "1600"}, {24, "1700"}});
    h.startup->startup();
    EXPECT_EQ(h.form->qso->mtext[0]->text(), "Brag");
    EXPECT_EQ(h.form->qso->mtext[2]->text(), "Ant");
    EXPECT_EQ(h.form->qso->mtext[3]->text(), "Four");
    EXPECT_FALSE(h.form->qso->mtext[3]->isVisibleTo(h.form.get()));
    EXPECT_TRUE(h.form->qso->mtext[0]->isVisibleTo(h.form.get()));
    const char* presetCaptions[5] = {"1000", "1100", "1500", "1600", "1700"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(h.form->presets->preset[i]->text(), presetCaptions[i]);
}

} // namespace

namespace {

TEST_F(StartupTest, StatusEventReappliesOnlyWhenSettingsChanged) {
    FormHarness h;
    h.startup->startup();
    h.modem.raiseStatus(1200, 0); // the re-apply that follows the band restore
    EXPECT_EQ(settingsChanged, 0);
    h.modem.clearCalls();
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.countCalls("IdText"), 0);

    SettingsList s = defaultSettings();
    s[0] = "G4NEW";
    ASSERT_EQ(writeSettings(h.file("tavrel.ini"), s), std::nullopt);
    settingsChanged = 1;
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    EXPECT_EQ(settingsChanged, 0);
    EXPECT_EQ(h.modem.countCalls("StartModem"), 1);
}

} // namespace

namespace {

TEST_F(StartupTest, PttOnADevicePathIsHandedToTheModemAsTyped) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{26, " /dev/ttyUSB1 "}, {27, "3"}});
    h.startup->startup();
    EXPECT_EQ(h.modem.countCalls("SetPttPort(/dev/ttyUSB1,3)"), 1);
    h.modem.clearCalls();
    h.startup->reapplySettings();
    EXPECT_EQ(h.modem.calls.front(), "SetPttPort(/dev/ttyUSB1,3)");
}

} // namespace
