#include "core/Settings.h"
#include "support/FormHarness.h"

#include <QLabel>
#include <QStatusBar>
#include <functional>

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
    EXPECT_TRUE(h.form->state.settings.changePending());
    // Every receiver control's value too, though none of them changed: the modem runs with what the
    // window shows.
    const std::vector<std::string> expected = {"SetDisplayRange(0,3000)",
                                               "IdText=de *",
                                               "DisplayType=1",
                                               "AuxSetting=253",
                                               "RxFreq=1200",
                                               "SquelchSpeed=1",
                                               "Mode=0",
                                               "SquelchThreshold=50",
                                               "AfcLimit=50",
                                               "SearchRange=0",
                                               "TrimValue=0",
                                               "LoadPalette=" + (h.dir.path / "spectrum.col").string(),
                                               "StartModem(-1,1)",
                                               "DialFreq=14070.000000"};
    EXPECT_EQ(h.modem.calls, expected);
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

TEST_F(StartupTest, FailedOpeningWriteAbandonsTheRestAndTheStatusLineSaysWhy) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{41, "2"}, {42, "fast"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h.startup->startup();
    EXPECT_FALSE(h.comm2.portOpen());
    ASSERT_EQ(h.comm2.writes().size(), 2u);
    EXPECT_EQ(h.comm2.writes()[1], "Settings=fast, N, 8, 1 (failed)");
    EXPECT_EQ(
        h.form->statusBar()->currentMessage(),
        "The CAT port /dev/ttyS1 could not be opened (the line settings \"fast, N, 8, 1\" are not valid): "
        "rig control is off.");
    // Start-up went on to the end: the modem started and the band was restored.
    EXPECT_EQ(h.modem.countCalls("StartModem(-1,1)"), 1);
    EXPECT_EQ(h.modem.calls.back(), "DialFreq=14070.000000");
    // A device that will not open, and an item that names no port, are told as well.
    h.comm2.failWrites(FakeSerial::Property::PortOpen);
    writeSettingsWith(h.file("tavrel.ini"), {{41, "2"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h.startup->reapplySettings();
    EXPECT_TRUE(h.form->statusBar()->currentMessage().startsWith(
        "The CAT port /dev/ttyS1 could not be opened (the device is missing"));
    writeSettingsWith(h.file("tavrel.ini"), {{41, "COM7"}});
    h.startup->reapplySettings();
    EXPECT_EQ(h.form->statusBar()->currentMessage(),
              "The CAT port \"COM7\" names no serial port: rig control is off.");
}

TEST_F(StartupTest, ReapplyClosesAndReopensTheCatPortAndRunsStartupAgain) {
    FormHarness h;
    writeSettingsWith(h.file("tavrel.ini"), {{41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    h.startup->startup();
    h.comm2.clearRecord();
    h.modem.clearCalls();
    writeSettingsWith(h.file("tavrel.ini"),
                      {{0, "G4NEW"}, {41, "2"}, {42, "4800"}, {43, "7"}, {44, "E"}, {45, "2"}});
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
    EXPECT_TRUE(h.form->state.settings.changePending());
}

TEST_F(StartupTest, PttOnTheCatPortsCableOpensTheDeviceOnceForCat) {
    // The same port by number, or by number and device path: the modem is not handed it, so the
    // CAT port opens (and keys PTT itself, see the transmit tests); the re-apply leaves the opening
    // to start-up.
    for (const char* ptt : {"1", "/dev/ttyS0"}) {
        SCOPED_TRACE(ptt);
        FormHarness h;
        writeSettingsWith(h.file("tavrel.ini"),
                          {{41, "1"}, {26, ptt}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}, {63, "1"}});
        h.startup->startup();
        EXPECT_EQ(h.modem.countCalls("SetPttPort"), 0);
        EXPECT_TRUE(h.comm2.portOpen());
        h.comm2.clearRecord();
        h.modem.clearCalls();
        h.startup->reapplySettings();
        EXPECT_EQ(h.modem.calls.front(), "SetPttPort(0,2)"); // given up before the port opens again
        EXPECT_TRUE(h.comm2.portOpen());
        EXPECT_TRUE(h.form->statusBar()->currentMessage().isEmpty());
        h.comm2.clearRecord();
        h.form->radioControl->bandClick("40");
        EXPECT_EQ(h.comm2.writes().size(), 1u); // the band command went out
    }
}

TEST_F(StartupTest, ReapplyLeavesTheContactInProgressAndProgramStartClearsIt) {
    FormHarness h;
    h.startup->startup();
    EntryPanel& e = *h.form->entry;
    for (QLineEdit* field : {e.hiscall, e.hisname, e.qtht, e.locator, e.start, e.endt, e.notes})
        field->setText("kept");
    h.form->state.signOffHeld = 1;
    h.form->state.logAfterTx = 1;
    h.form->radioControl->bandClick("40"); // a band, a preset, a macro edit or a settings save
    h.modem.raiseStatus(1200, 0);
    ASSERT_FALSE(h.form->state.settings.changePending()); // the re-apply ran
    for (QLineEdit* field : {e.hiscall, e.hisname, e.qtht, e.locator, e.start, e.endt, e.notes})
        EXPECT_EQ(field->text(), "kept") << field->objectName().toStdString();
    EXPECT_EQ(e.band->currentText(), "40");
    EXPECT_EQ(h.form->state.signOffHeld, 1);
    EXPECT_EQ(h.form->state.logAfterTx, 1);
    h.startup->startup();
    EXPECT_TRUE(e.hisname->text().isEmpty());
    EXPECT_EQ(h.form->state.logAfterTx, 0);
}

TEST_F(StartupTest, FailedSettingsSaveIsReportedAndTheEditStays) {
    struct Case {
        const char* name;
        std::function<void(FormHarness&)> edit;
        Item item;
        const char* value;
        QWidget* (*stillOpen)(FormHarness&);
    };
    const Case cases[] = {
        {"band button", [](FormHarness& h) { h.form->radioControl->bandClick("15"); }, Item::Band, "15",
         [](FormHarness&) -> QWidget* { return nullptr; }},
        {"macro editor",
         [](FormHarness& h) {
             h.form->qsoControl->openEditor(Item::CqText, -1);
             h.form->macroEditor->macrotext->setPlainText("CQ de G4NEW");
             h.form->qsoControl->Command7_Click();
         },
         Item::CqText, "CQ de G4NEW", [](FormHarness& h) -> QWidget* { return h.form->macroEditor->Frame5; }},
        {"audio preset",
         [](FormHarness& h) {
             h.form->state.macroEditItem = Item::Preset3;
             h.form->presetEntry->setVisible(true);
             h.form->presetEntry->Text5->setText("1500");
             h.form->presetControl->Command16_Click();
         },
         Item::Preset3, "1500", [](FormHarness& h) -> QWidget* { return h.form->presetEntry; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        h.startup->startup();
        h.modem.raiseStatus(1200, 0);
        std::filesystem::create_directory(h.file("tavrel.ini.tmp")); // the write cannot be made
        c.edit(h);
        ASSERT_EQ(h.told.size(), 1u);
        EXPECT_NE(h.told[0].find(h.file("tavrel.ini").string()), std::string::npos) << h.told[0];
        EXPECT_NE(h.told[0].find("Is a directory"), std::string::npos) << h.told[0];
        EXPECT_FALSE(h.form->state.settings.changePending());
        h.modem.raiseStatus(1200, 0); // no re-apply reads the old file over the edit
        EXPECT_EQ(h.form->state.item(c.item), c.value);
        if (QWidget* w = c.stillOpen(h)) {
            EXPECT_TRUE(w->isVisibleTo(h.form.get()));
        }
        // Once the cause is gone the next save keeps it.
        std::filesystem::remove(h.file("tavrel.ini.tmp"));
        c.edit(h);
        EXPECT_EQ(readSettings(h.file("tavrel.ini"))[c.item], c.value);
        EXPECT_EQ(h.told.size(), 1u);
    }
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
    EXPECT_FALSE(h.form->state.settings.changePending());
    h.modem.clearCalls();
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.countCalls("IdText"), 0);

    SettingsList s = defaultSettings();
    s[0] = "G4NEW";
    ASSERT_EQ(h.form->state.settings.save(s), std::nullopt);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    EXPECT_FALSE(h.form->state.settings.changePending());
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

namespace {

// Defaults written over a file that only could not be read would lose the operator's settings.
TEST_F(StartupTest, UnreadableSettingsAreLeftAloneAndEndTheProgram) {
    FormHarness h;
    const auto ini = h.file("tavrel.ini");
    std::filesystem::create_directory(ini);
    auto stop = h.startup->startup();
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->message, "The settings file " + ini.string() + " cannot be read: Is a directory.");
    EXPECT_TRUE(std::filesystem::is_directory(ini));
    EXPECT_EQ(h.modem.countCalls("StartModem"), 0) << "start-up went on";

    // At a re-apply too; a read that fails (EIO here) is the same.
    std::filesystem::remove(ini);
    h.startup->startup();
    std::filesystem::remove(ini);
    std::filesystem::create_symlink("/proc/self/mem", ini);
    h.comm2.clearRecord();
    stop = h.startup->reapplySettings();
    ASSERT_TRUE(stop);
    EXPECT_NE(stop->message.find("Input/output error"), std::string::npos) << stop->message;
    EXPECT_TRUE(std::filesystem::is_symlink(ini));
}

TEST_F(StartupTest, DamagedSettingsAreToldOnceAndKeptAsTheyWere) {
    FormHarness h;
    std::string text = formatSettings(defaultSettings());
    text.replace(text.size() - 8, 2, "Bath, England"); // line 100 without quotes
    writeFile(h.file("tavrel.ini"), text);
    h.startup->startup();
    const auto notes = [&] { return h.form->statusBar()->findChildren<QLabel*>("settingsNote"); };
    ASSERT_EQ(notes().size(), 1);
    EXPECT_EQ(
        notes()[0]->text().toStdString(),
        "The settings file " + h.file("tavrel.ini").string() +
            " is damaged: line 100 holds a comma outside quotes, which moves every later item (102 items "
            "instead of 101). Tavrel has read it with defaults for what is missing and keeps the file as it "
            "was in " +
            h.file("tavrel.ini.damaged").string() + ".");
    EXPECT_EQ(readFile(h.file("tavrel.ini.damaged")), text);
    // The band restore has written the list whole; the re-apply that follows tells nothing more.
    EXPECT_EQ(settingsDamage(readFile(h.file("tavrel.ini"))), std::nullopt);
    writeFile(h.file("tavrel.ini"), text);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(notes().size(), 1);
}

} // namespace
