#include "app/Settings.h"
#include "app/UserSettingsWindow.h"
#include "support/FormHarness.h"

#include <QGridLayout>
#include <QLabel>
#include <QStatusBar>
#include <functional>

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

QString statusLine(FormHarness& h) {
    return h.form->statusBar()->currentMessage();
}

// The CAT port on `port` at 9600 baud, no parity, 8 data bits, 1 stop bit, and more items.
FormHarness::Items catOn(const char* port, FormHarness::Items more = {}) {
    more.insert(more.end(), {{41, port}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    return more;
}

TEST(StartupTest, FirstStartInEmptyFolderMakesDefaultsAndCallsTheModemInOrder) {
    FormHarness h;
    h.startup->startup();
    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(defaultSettings()));
    // The band restore saved the settings, so the first status event re-applies them.
    EXPECT_EQ(settingsChanged, 1);
    // Every receiver control's value too, though none changed: the modem runs with what the window shows.
    const std::string palette = "LoadPalette=" + h.file("spectrum.col").string();
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
                                               palette,
                                               "StartModem(-1,1)",
                                               "DialFreq=14070.000000"};
    EXPECT_EQ(h.modem.calls, expected);
    EXPECT_TRUE(h.comm2.writes().empty()); // no CAT port, and no PTT port handed over
    EXPECT_EQ(h.form->state.qsoDateKey, "20261207");
    EXPECT_EQ(h.form->receiveControl->windows().history, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

// Item 60 picks the range; "3" takes items 61 and 62; anything else keeps the previous one.
TEST(StartupTest, DisplayRangeFollowsTheSettings) {
    FormHarness h;
    h.startWith({{60, ""}});
    EXPECT_EQ(h.modem.calls.front(), "SetDisplayRange(0,0)");
    const struct {
        FormHarness::Items items;
        int low, high;
    } steps[] = {{{{60, "3"}, {61, "500"}, {62, "2500"}}, 500, 2500},
                 {{{60, "2"}}, 0, 4000},
                 {{{60, "Wide"}, {61, "1"}, {62, "2"}}, 0, 4000},
                 {{{60, "1"}}, 0, 3000}};
    for (const auto& s : steps) {
        h.startWith(s.items);
        EXPECT_EQ(std::pair(h.modem.rangeLow, h.modem.rangeHigh), std::pair(s.low, s.high));
    }
}

TEST(StartupTest, CatPortOpensWithBaudParityDataStopAndPttGoesToItsOwnPort) {
    FormHarness h;
    h.startWith({{41, "1"}, {42, "4800"}, {43, "7"}, {44, "E"}, {45, "2"}, {26, "3"}, {27, "1"}});
    const std::vector<std::string> expected = {"CommPort=1", "Settings=4800, E, 7, 2", "Handshaking=0",
                                               "PortOpen=1"};
    EXPECT_EQ(h.comm2.writes(), expected);
    EXPECT_EQ(h.modem.countCalls("SetPttPort(3,1)"), 1);
    // A device path is handed over as typed, at start and at the re-apply.
    h.startWith({{26, " /dev/ttyUSB1 "}, {27, "3"}});
    h.modem.clearCalls();
    h.startup->reapplySettings();
    EXPECT_EQ(h.modem.calls.front(), "SetPttPort(/dev/ttyUSB1,3)");
    EXPECT_EQ(h.modem.countCalls("SetPttPort(/dev/ttyUSB1,3)"), 2);
}

TEST(StartupTest, FailedOpeningAbandonsTheRestAndTheStatusLineSaysWhy) {
    FormHarness h;
    h.startWith({{41, "2"}, {42, "fast"}, {43, "8"}, {44, "N"}, {45, "1"}});
    EXPECT_FALSE(h.comm2.portOpen());
    EXPECT_EQ(h.comm2.writes().back(), "Settings=fast, N, 8, 1 (failed)");
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

TEST(StartupTest, ReapplyClosesAndReopensTheCatPortAndRunsStartupAgain) {
    FormHarness h;
    h.startWith(catOn("1"));
    h.comm2.clearRecord();
    h.modem.clearCalls();
    h.writeSettingsWith({{0, "G4NEW"}, {41, "2"}, {42, "4800"}, {43, "7"}, {44, "E"}, {45, "2"}});
    h.startup->reapplySettings();
    const std::vector<std::string> expected = {
        "PortOpen=0",    "CommPort=2", "Settings=4800, E, 7, 2",
        "Handshaking=0", "PortOpen=1", "CommPort=2 (failed)"}; // start-up's own attempt finds it open
    EXPECT_EQ(h.comm2.writes(), expected);
    EXPECT_EQ(h.modem.calls.front(), "SetPttPort(0,2)"); // made whatever item 26 holds
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    // Start-up cleared the flag; its band restore set it again for the status handling to clear.
    EXPECT_EQ(settingsChanged, 1);
}

// The same port by number or by device path: the modem is not handed it, so the CAT port opens
// (and keys PTT itself); the re-apply leaves the opening to start-up.
TEST(StartupTest, PttOnTheCatPortsCableOpensTheDeviceOnceForCat) {
    for (const char* ptt : {"1", "/dev/ttyS0"}) {
        SCOPED_TRACE(ptt);
        FormHarness h;
        h.startWith(catOn("1", {{26, ptt}, {63, "1"}}));
        EXPECT_EQ(h.modem.countCalls("SetPttPort"), 0);
        h.comm2.clearRecord();
        h.modem.clearCalls();
        h.startup->reapplySettings();
        EXPECT_EQ(h.modem.calls.front(), "SetPttPort(0,2)"); // given up before the port opens again
        EXPECT_TRUE(h.comm2.portOpen());
        EXPECT_TRUE(statusLine(h).isEmpty());
    }
}

TEST(StartupTest, StatusEventReappliesOnlyWhenTheSettingsChangedAndLeavesTheContactInProgress) {
    FormHarness h;
    h.startSettled();
    EXPECT_EQ(settingsChanged, 0);
    h.modem.clearCalls();
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.countCalls("IdText"), 0);

    EntryPanel& e = *h.form->entry;
    for (QLineEdit* field : {e.hiscall, e.hisname, e.qtht, e.locator, e.start, e.endt, e.notes})
        field->setText("kept");
    h.form->state.signOffHeld = 1;
    h.form->state.logAfterTx = 1;
    h.writeSettingsWith({{0, "G4NEW"}});
    settingsChanged = 1; // as a settings window's save leaves it
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.modem.idText, "de G4NEW*");
    EXPECT_EQ(settingsChanged, 0);
    for (QLineEdit* field : {e.hiscall, e.hisname, e.qtht, e.locator, e.start, e.endt, e.notes})
        EXPECT_EQ(field->text(), "kept") << field->objectName().toStdString();
    EXPECT_EQ(h.form->state.signOffHeld, 1);
    EXPECT_EQ(h.form->state.logAfterTx, 1);
    // Program start clears it.
    h.startup->startup();
    EXPECT_TRUE(e.hisname->text().isEmpty());
    EXPECT_EQ(h.form->state.signOffHeld, 0);
    EXPECT_EQ(h.form->state.logAfterTx, 0);
}

TEST(StartupTest, FailedSettingsSaveIsReportedAndTheEditStays) {
    const struct {
        const char* name;
        std::function<void(FormHarness&)> edit;
        int item;
        const char* value;
        std::function<QWidget*(FormHarness&)> stillOpen;
    } cases[] = {
        {"band button", [](FormHarness& h) { h.form->radioControl->bandClick("15"); }, 50, "15",
         [](FormHarness&) -> QWidget* { return nullptr; }},
        {"macro editor",
         [](FormHarness& h) {
             h.form->qsoControl->openEditor(14, -1);
             h.form->macroEditor->macrotext->setPlainText("CQ de G4NEW");
             h.form->qsoControl->Command7_Click();
         },
         14, "CQ de G4NEW", [](FormHarness& h) -> QWidget* { return h.form->macroEditor->Frame5; }},
        {"audio preset",
         [](FormHarness& h) {
             h.form->state.macroEditItem = 22;
             h.form->presetEntry->setVisible(true);
             h.form->presetEntry->Text5->setText("1500");
             h.form->presetControl->Command16_Click();
         },
         22, "1500", [](FormHarness& h) -> QWidget* { return h.form->presetEntry; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        h.startSettled();
        std::filesystem::create_directory(h.file("tavrel.ini.tmp")); // the write cannot be made
        c.edit(h);
        ASSERT_EQ(h.told.size(), 1u);
        EXPECT_EQ(h.told[0], "The settings could not be saved to " + h.file("tavrel.ini").string() +
                                 ": Is a directory.");
        EXPECT_EQ(settingsChanged, 0);
        h.modem.raiseStatus(1200, 0); // no re-apply reads the old file over the edit
        EXPECT_EQ(h.form->state.item(c.item), c.value);
        QWidget* open = c.stillOpen(h);
        EXPECT_TRUE(!open || open->isVisibleTo(h.form.get()));
        // Once the cause is gone the next save keeps it.
        std::filesystem::remove(h.file("tavrel.ini.tmp"));
        c.edit(h);
        EXPECT_EQ(readSettings(h.file("tavrel.ini"))[static_cast<size_t>(c.item)], c.value);
        EXPECT_EQ(h.told.size(), 1u);
    }
}

TEST(StartupTest, MacroAndPresetCaptionsComeFromTheSettings) {
    FormHarness h;
    const int macroItems[6] = {33, 34, 35, 54, 55, 56}, presetItems[5] = {28, 29, 22, 23, 24};
    FormHarness::Items items;
    for (int i = 0; i < 6; ++i)
        items.push_back({macroItems[i], "m" + std::to_string(i)});
    for (int i = 0; i < 5; ++i)
        items.push_back({presetItems[i], std::to_string(1000 + i)});
    h.startWith(items);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(h.form->qso->mtext[i]->text(), QString::fromStdString("m" + std::to_string(i)));
    EXPECT_TRUE(h.form->qso->mtext[0]->isVisibleTo(h.form.get())); // the first page shows
    EXPECT_FALSE(h.form->qso->mtext[3]->isVisibleTo(h.form.get()));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(h.form->presets->preset[i]->text(), QString::number(1000 + i));
}

// Defaults written over a file that only could not be read would lose the operator's settings.
TEST(StartupTest, UnreadableSettingsAreLeftAloneAndEndTheProgram) {
    FormHarness h;
    const auto ini = h.file("tavrel.ini");
    std::vector<std::string> told;
    h.startup->onSettingsUnreadable = [&](const std::string& m) { told.push_back(m); };
    std::filesystem::create_directory(ini);
    h.startup->startup();
    EXPECT_EQ(told, std::vector<std::string>{"The settings file " + ini.string() +
                                             " cannot be read: Is a directory."});
    EXPECT_TRUE(std::filesystem::is_directory(ini));
    EXPECT_EQ(h.modem.countCalls("StartModem"), 0) << "start-up went on";
    // At a re-apply too.
    std::filesystem::remove(ini);
    h.startWith();
    h.modem.clearCalls();
    std::filesystem::remove(ini);
    std::filesystem::create_directory(ini);
    h.startup->reapplySettings();
    EXPECT_EQ(told.size(), 2u);
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
            "instead of 101). Tavrel has read it with defaults for what is missing and keeps the file as it "
            "was in " +
            h.file("tavrel.ini.damaged").string() + ".");
    EXPECT_EQ(readFile(h.file("tavrel.ini.damaged")), text);
    // The band restore has written the list whole; a re-apply over the damage again tells nothing more.
    EXPECT_EQ(settingsDamage(readFile(h.file("tavrel.ini"))), std::nullopt);
    writeFile(h.file("tavrel.ini"), text);
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(notes().size(), 1);
}

// The range options in one column, the custom range's bounds beside Custom: none hides another.
TEST(UserSettingsLayout, DisplayRangeOptionsStandOneUnderTheOther) {
    testApplication();
    TempDir dir;
    UserSettingsWindow w(dir.path);
    auto* grid = qobject_cast<QGridLayout*>(w.Frame5->layout());
    ASSERT_NE(grid, nullptr);
    auto cell = [&](QWidget* x) {
        int row = -1, column = -1, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(x), &row, &column, &rows, &columns);
        return std::pair(row, column);
    };
    const auto normal = cell(w.rangenormal), wide = cell(w.rangewide), custom = cell(w.rangecustom);
    const auto bottom = cell(w.rangebottom), top = cell(w.rangetop);
    EXPECT_TRUE(normal.second == wide.second && wide.second == custom.second);
    EXPECT_TRUE(normal.first < wide.first && wide.first < custom.first);
    EXPECT_TRUE(bottom.first == custom.first && top.first == custom.first);
    EXPECT_TRUE(custom.second < bottom.second && bottom.second < top.second);
}

} // namespace
