#include "core/Settings.h"
#include "support/FormHarness.h"

#include <QLabel>
#include <QStatusBar>

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

QString statusLine(FormHarness& h) {
    return h.form->statusBar()->currentMessage();
}

// A record of calls or port writes in order, separated by blanks.
std::string joined(const std::vector<std::string>& record) {
    std::string all;
    for (const std::string& c : record)
        all += (all.empty() ? "" : " ") + c;
    return all;
}

// The CAT port on `port` at 9600, N, 8, 1, and more items.
FormHarness::Items catOn(const char* port, FormHarness::Items more = {}) {
    more.insert(more.end(), {{41, port}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    return more;
}

TEST(StartupTest, FirstStartInEmptyFolderMakesDefaultsAndCallsTheModemInOrder) {
    FormHarness h;
    h.startup->startup();
    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(defaultSettings()));
    // The band restore saved the settings, so the first status event re-applies them.
    EXPECT_TRUE(h.form->state.settings.changePending());
    // Every receiver control's value too, though none changed: the modem runs with what the window shows.
    EXPECT_EQ(joined(h.modem.calls),
              "SetDisplayRange(0,3000) IdText=de * DisplayType=1 AuxSetting=253 RxFreq=1200 "
              "SquelchSpeed=1 Mode=0 SquelchThreshold=50 AfcLimit=50 SearchRange=0 TrimValue=0 "
              "LoadPalette=" +
                  h.file("spectrum.col").string() + " StartModem(-1,1) DialFreq=14070.000000");
    EXPECT_TRUE(h.comm2.writes().empty()); // no CAT port, and no PTT port handed over
    EXPECT_EQ(h.form->state.qsoDateKey, "20261207");
    EXPECT_EQ(h.form->receiveControl->windows().history, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST(StartupRules, DisplayRangeFollowsTheChoiceAndAnyOtherKeepsTheLastOne) {
    const std::tuple<const char*, int, int> cases[] = {{"1", 0, 3000}, {"2", 0, 4000}, {"3", 500, 2500},
                                                       {"", 7, 8},     {"Wide", 7, 8}, {" 3", 7, 8}};
    for (auto [choice, low, high] : cases)
        EXPECT_EQ(Startup::displayRange(choice, "500", "2500", {7, 8}), std::pair(low, high)) << choice;
}

// The re-apply closes the port before the group opens it again (start-up's own attempt then finds
// it open), hands the PTT port over as typed, first and again in start-up, and runs start-up.
TEST(StartupTest, ReapplyReopensTheCatPortHandsPttOverAndRunsStartupAgain) {
    FormHarness h;
    const FormHarness::Items ptt = {{26, " /dev/ttyUSB1 "}, {27, "3"}};
    h.startWith(catOn("1", ptt));
    EXPECT_EQ(h.modem.countCalls("SetPttPort(/dev/ttyUSB1,3)"), 1);
    h.comm2.clearRecord();
    h.modem.clearCalls();
    FormHarness::Items items = {{0, "G4NEW"}, {41, "2"}, {42, "4800"}, {43, "7"}, {44, "E"}, {45, "2"}};
    items.insert(items.end(), ptt.begin(), ptt.end());
    h.writeSettingsWith(items);
    h.startup->reapplySettings();
    EXPECT_EQ(joined(h.comm2.writes()),
              "PortOpen=0 CommPort=2 Settings=4800, E, 7, 2 Handshaking=0 PortOpen=1 CommPort=2 (failed)");
    EXPECT_EQ(h.modem.calls.front(), "SetPttPort(/dev/ttyUSB1,3)");
    EXPECT_EQ(h.modem.countCalls("SetPttPort(/dev/ttyUSB1,3)"), 2);
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    // Start-up cleared the flag; its band restore set it again for the status handling to clear.
    EXPECT_TRUE(h.form->state.settings.changePending());
}

// The same port by number or by device path: the modem is not handed it, so the CAT port opens
// (and keys PTT itself); the re-apply takes it from the modem before the port opens again.
TEST(StartupTest, PttOnTheCatPortsCableOpensTheDeviceOnceForCat) {
    for (const char* ptt : {"1", "/dev/ttyS0"}) {
        SCOPED_TRACE(ptt);
        FormHarness h;
        h.startWith(catOn("1", {{26, ptt}, {63, "1"}}));
        EXPECT_EQ(h.modem.countCalls("SetPttPort"), 0);
        h.modem.clearCalls();
        h.startup->reapplySettings();
        EXPECT_EQ(h.modem.calls.front(), "SetPttPort(0,2)");
        EXPECT_TRUE(h.comm2.portOpen() && statusLine(h).isEmpty());
    }
}

TEST(StartupTest, FailedOpeningAbandonsTheRestAndTheStatusLineSaysWhy) {
    FormHarness h;
    h.startWith({{41, "2"}, {42, "fast"}, {43, "8"}, {44, "N"}, {45, "1"}});
    EXPECT_EQ(std::pair(h.comm2.portOpen(), h.comm2.writes().back()),
              std::pair(false, std::string("Settings=fast, N, 8, 1 (failed)")));
    EXPECT_EQ(statusLine(h),
              "The CAT port /dev/ttyS1 could not be opened (the line settings \"fast, N, 8, 1\" "
              "are not valid): rig control is off.");
    EXPECT_EQ(h.modem.calls.back(), "DialFreq=14070.000000"); // start-up went on to the end
    h.comm2.failWrites(FakeSerial::Property::PortOpen);
    h.writeSettingsWith(catOn("2"));
    h.startup->reapplySettings();
    EXPECT_TRUE(
        statusLine(h).startsWith("The CAT port /dev/ttyS1 could not be opened (the device is missing"));
    h.writeSettingsWith({{41, "COM7"}});
    h.startup->reapplySettings();
    EXPECT_EQ(statusLine(h), "The CAT port \"COM7\" names no serial port: rig control is off.");
    // Once the port opens the complaint goes.
    h.comm2.failWrites(FakeSerial::Property::PortOpen, false);
    h.startWith(catOn("2"));
    EXPECT_TRUE(statusLine(h).isEmpty());
}

TEST(StartupTest, StatusEventReappliesOnlyWhenTheSettingsChangedAndLeavesTheContactInProgress) {
    FormHarness h;
    h.startSettled();
    EXPECT_FALSE(h.form->state.settings.changePending());
    h.modem.clearCalls();
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.countCalls("IdText"), 0);

    EntryPanel& e = *h.form->entry;
    e.hisname->setText("kept");
    e.notes->setText("kept");
    h.form->state.signOffHeld = h.form->state.logAfterTx = 1;
    h.saveSettingsWith({{0, "G4NEW"}});
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    EXPECT_FALSE(h.form->state.settings.changePending());
    EXPECT_EQ(e.hisname->text() + e.notes->text(), "keptkept");
    EXPECT_EQ(h.form->state.signOffHeld + h.form->state.logAfterTx, 2);
    // Program start clears it.
    h.startup->startup();
    EXPECT_TRUE(e.hisname->text().isEmpty());
    EXPECT_EQ(h.form->state.signOffHeld + h.form->state.logAfterTx, 0);
}

// The band button, the macro editor and the audio preset entry each keep the operator's edit, and
// no re-apply reads the old file over it.
TEST(StartupTest, FailedSettingsSaveIsReportedAndTheEditStays) {
    const std::tuple<Item, const char*, int> cases[] = {
        {Item::Band, "15", 0}, {Item::CqText, "CQ de G4NEW", 1}, {Item::Preset3, "1500", 2}};
    for (const auto& [item, value, editor] : cases) {
        SCOPED_TRACE(value);
        FormHarness h;
        h.startSettled();
        Form1& f = *h.form;
        QWidget* const stillOpen[] = {f.centralWidget(), f.macroEditor->Frame5, f.presetEntry};
        const auto edit = [&f, v = value, e = editor] {
            if (e == 0) {
                f.radioControl->bandClick(v);
            } else if (e == 1) {
                f.qsoControl->openEditor(Item::CqText, -1);
                f.macroEditor->macrotext->setPlainText(v);
                f.qsoControl->Command7_Click();
            } else {
                f.state.macroEditItem = Item::Preset3;
                f.presetEntry->setVisible(true);
                f.presetEntry->Text5->setText(v);
                f.presetControl->Command16_Click();
            }
        };
        std::filesystem::create_directory(h.file("tavrel.ini.tmp")); // the write cannot be made
        edit();
        EXPECT_EQ(h.told, std::vector<std::string>{"The settings could not be saved to " +
                                                   h.file("tavrel.ini").string() + ": Is a directory."});
        EXPECT_FALSE(h.form->state.settings.changePending());
        h.modem.raiseStatus(1200, 0);
        EXPECT_EQ(f.state.item(item), value);
        EXPECT_TRUE(stillOpen[editor]->isVisibleTo(&f));
        // Once the cause is gone the next save keeps it.
        std::filesystem::remove(h.file("tavrel.ini.tmp"));
        edit();
        EXPECT_EQ(readSettings(h.file("tavrel.ini"))[item], value);
        EXPECT_EQ(h.told.size(), 1u);
    }
}

TEST(StartupTest, MacroAndPresetCaptionsComeFromTheSettings) {
    FormHarness h;
    const int items[11] = {33, 34, 35, 54, 55, 56, 28, 29, 22, 23, 24};
    FormHarness::Items settings;
    for (int i = 0; i < 11; ++i)
        settings.push_back({items[i], std::to_string(i)});
    h.startWith(settings);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ((i < 6 ? h.form->qso->mtext[i] : h.form->presets->preset[i - 6])->text(),
                  QString::number(i));
    EXPECT_TRUE(h.form->qso->mtext[0]->isVisibleTo(h.form.get())); // the first page shows
    EXPECT_FALSE(h.form->qso->mtext[3]->isVisibleTo(h.form.get()));
}

// Defaults written over a file that only could not be read would lose the operator's settings.
TEST(StartupTest, UnreadableSettingsAreLeftAloneAndEndTheProgram) {
    FormHarness h;
    const auto ini = h.file("tavrel.ini");
    std::filesystem::create_directory(ini);
    auto stop = h.startup->startup();
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->message, "The settings file " + ini.string() + " cannot be read: Is a directory.");
    EXPECT_TRUE(std::filesystem::is_directory(ini));
    EXPECT_EQ(h.modem.countCalls("StartModem"), 0) << "start-up went on";
    // At a re-apply too.
    std::filesystem::remove(ini);
    h.startWith();
    h.modem.clearCalls();
    std::filesystem::remove(ini);
    std::filesystem::create_directory(ini);
    EXPECT_TRUE(h.startup->reapplySettings());
    EXPECT_TRUE(h.modem.calls.empty());
}

TEST(StartupTest, DamagedSettingsAreToldOnceAndKeptAsTheyWere) {
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
            "instead of 101). Tavrel has read it with defaults for what is missing and keeps the file as "
            "it was in " +
            h.file("tavrel.ini.damaged").string() + ".");
    EXPECT_EQ(readFile(h.file("tavrel.ini.damaged")), text);
    // The band restore has written the list whole; a re-apply over the damage again tells nothing more.
    EXPECT_EQ(settingsDamage(readFile(h.file("tavrel.ini"))), std::nullopt);
    writeFile(h.file("tavrel.ini"), text);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(notes().size(), 1);
}

} // namespace
