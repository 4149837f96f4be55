// The menu items, the user settings window, the About window and the colour scheme on the real
// main window.

#include "core/Controls.h"
#include "support/FormHarness.h"
#include "ui/ColourScheme.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
        h->form->menuControl->runner = fakeRunner();
        h->form->state.tellOperator = [this](const std::string& t) { told << QString::fromStdString(t); };
    }
    void startWith(std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        s[13] = "20261207";
        for (auto [i, v] : items)
            s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
    }
    // Programs named in `installed` are found under /opt/fake; those in `broken` do not start.
    ProgramRunner fakeRunner() {
        ProgramRunner r;
        r.find = [this](const std::string& p) {
            return std::find(installed.begin(), installed.end(), p) != installed.end() ? "/opt/fake/" + p
                                                                                       : std::string();
        };
        r.start = [this](const std::string& path, const std::vector<std::string>& args) {
            std::string cmd = path;
            for (const auto& a : args)
                cmd += " " + a;
            if (std::find(broken.begin(), broken.end(), path) != broken.end()) return false;
            started.push_back(cmd);
            return true;
        };
        return r;
    }
    UserSettingsWindow* openUserSettings() {
        h->form->menu->mnusettings->trigger();
        return h->form->menuControl->userSettings();
    }
    // A click on the round indicator, where the operator aims.
    static void pick(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // The next status event re-applies the settings when they changed.
    void statusEvent() { h->modem.raiseStatus(1200, 50); }

    std::unique_ptr<FormHarness> h;
    std::vector<std::string> installed, broken, started;
    QStringList told;
};

TEST_F(MenuTest, UserSettingsTurnsOffTheFocusReturnEvenWhenClosedWithoutSaving) {
    startWith({});
    h->form->state.keepTxFocus = 1;
    UserSettingsWindow* w = openUserSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(h->form->isEnabled());
    EXPECT_EQ(h->form->state.keepTxFocus, 0);
    w->close();
    EXPECT_EQ(h->form->state.keepTxFocus, 0);
}

TEST_F(MenuTest, UserSettingsBoxesShowTheirItemsAndEditsStayOutOfTheFileUntilSaved) {
    startWith({{0, "G4ABC"},
               {2, "Bob"},
               {3, "Leeds"},
               {4, "Yorkshire, UK"},
               {5, "IO93"},
               {6, "PC"},
               {8, "FT-817"},
               {9, "5"},
               {10, "Dipole"},
               {12, "-1"},
               {16, "53.8"},
               {17, "1.55"},
               {26, "2"},
               {27, "3"},
               {38, "0"},
               {60, "3"},
               {61, "500"},
               {62, "2500"}});
    UserSettingsWindow* w = openUserSettings();
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {w->mycall, "G4ABC"},     {w->myname, "Bob"},    {w->mytown, "Leeds"}, {w->myarea, "Yorkshire, UK"},
        {w->mylocator, "IO93"},   {w->mycomputer, "PC"}, {w->myrig, "FT-817"}, {w->mypower, "5"},
        {w->myantenna, "Dipole"}, {w->gmt, "-1"},        {w->mylat, "53.8"},   {w->mylong, "1.55"},
        {w->rangebottom, "500"},  {w->rangetop, "2500"}};
    for (auto [box, text] : boxes)
        EXPECT_EQ(box->text(), text) << box->objectName().toStdString();
    EXPECT_EQ(w->Combo1->currentText(), "2");
    EXPECT_TRUE(w->Option3->isChecked());
    EXPECT_FALSE(w->cqtick->isChecked());
    EXPECT_TRUE(w->rangecustom->isChecked());

    const std::string before = readFile(h->file("tavrel.ini"));
    w->myname->clear();
    QTest::keyClicks(w->myname, "Robert");
    pick(w->Option1);
    pick(w->rangewide);
    pick(w->cqtick);
    EXPECT_EQ(w->list()[2], "Robert");
    EXPECT_EQ(w->list()[27], "1");
    pick(w->Option4); // PTT through the rig
    EXPECT_EQ(w->list()[27], "4");
    EXPECT_EQ(w->list()[60], "2");
    EXPECT_EQ(w->list()[38], "1");
    EXPECT_EQ(readFile(h->file("tavrel.ini")), before);
}

TEST_F(MenuTest, HelpLabelsAndCaptionsReadAsTheyStand) {
    startWith({});
    UserSettingsWindow* w = openUserSettings();
    QStringList labels;
    for (QLabel* l : w->findChildren<QLabel*>())
        labels << l->text();
    for (const char* t :
         {"Callsign", "Name", "Computer", "Rig", "Power", "Antenna", "Town", "Area", "Locator", "Lattitude",
          "Longtitude", "GMT Offset east + west -", "Port Number", "Log CQ Calls ?",
          "Enter south and east as negative i.e. -29.7", "Enter as degrees.degrees, not degrees.minutes"})
        EXPECT_TRUE(labels.contains(QString::fromLatin1(t))) << t;
    EXPECT_EQ(w->Frame1->title(), "Operators Details");
    EXPECT_EQ(w->Frame2->title(), "Station Equipment Details");
    EXPECT_EQ(w->Frame3->title(), "QTH Details");
    EXPECT_EQ(w->comm->title(), "PTT Serial Port Settings");
    EXPECT_EQ(w->Frame4->title(), "Programme Options");
    EXPECT_EQ(w->Frame5->title(), "Tavrel Display Range");
    EXPECT_EQ(w->Command1->text(), "Save Settings");
    EXPECT_EQ(w->Option3->text(), "Use RTS + DTR");
    EXPECT_EQ(w->Option4->text(), "Use CAT");
    QStringList ports;
    for (int i = 0; i < w->Combo1->count(); ++i)
        ports << w->Combo1->itemText(i);
    ASSERT_GE(ports.size(), 5);
    EXPECT_EQ(ports.mid(0, 5), (QStringList{"0", "1", "2", "3", "4"}));
}

TEST_F(MenuTest, SavedNewCallReachesTheModemAfterTheNextStatusEvent) {
    startWith({{0, "G4ABC"}});
    statusEvent(); // the band restore's re-apply
    UserSettingsWindow* w = openUserSettings();
    w->mycall->clear();
    QTest::keyClicks(w->mycall, "NEWCALL");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(h->form->state.settings.changePending());
    EXPECT_EQ(readFile(h->file("tavrel.ini")).substr(0, 11), "\"NEWCALL\"\r\n");
    statusEvent();
    EXPECT_EQ(h->modem.idText, "de NEWCALL*");
}

TEST_F(MenuTest, SavedPttPortLineAndCustomRangeReachTheModem) {
    startWith({{26, "0"}, {27, "1"}});
    statusEvent();
    UserSettingsWindow* w = openUserSettings();
    pick(w->Option2);
    w->Combo1->setFocus();
    w->Combo1->lineEdit()->selectAll();
    QTest::keyClicks(w->Combo1, "2");
    QTest::keyClick(w->Combo1, Qt::Key_Return);
    pick(w->rangecustom);
    w->rangebottom->setText("400");
    w->rangetop->setText("2600");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    const SettingsList onDisk = readSettings(h->file("tavrel.ini"));
    EXPECT_EQ(onDisk[26], "2");
    EXPECT_EQ(onDisk[27], "2");
    EXPECT_EQ(onDisk[60], "3");
    statusEvent();
    EXPECT_EQ(h->modem.pttPort, 2);
    EXPECT_EQ(h->modem.pttLine, 2);
    EXPECT_EQ(h->modem.rangeLow, 400);
    EXPECT_EQ(h->modem.rangeHigh, 2600);
}

TEST_F(MenuTest, TypedPortPathIsTakenWhenTheOperatorPressesEnter) {
    startWith({});
    UserSettingsWindow* w = openUserSettings();
    w->Combo1->setFocus();
    w->Combo1->lineEdit()->selectAll();
    QTest::keyClicks(w->Combo1, "/dev/ttyUSB7");
    EXPECT_EQ(w->list()[26], "");
    QTest::keyClick(w->Combo1, Qt::Key_Return);
    EXPECT_EQ(w->list()[26], "/dev/ttyUSB7");
}

TEST_F(MenuTest, HiddenWindowKeepsItsListAndTheCloseBoxDropsIt) {
    startWith({{2, "Bob"}});
    UserSettingsWindow* w = openUserSettings();
    w->myname->setText("Robert");
    w->hide();
    EXPECT_EQ(openUserSettings(), w);
    EXPECT_EQ(w->myname->text(), "Robert");

    w->close(); // the close box: the edit is not written
    EXPECT_EQ(readSettings(h->file("tavrel.ini"))[2], "Bob");
    UserSettingsWindow* again = openUserSettings();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, w);
    EXPECT_EQ(again->myname->text(), "Bob");
}

TEST_F(MenuTest, AboutWindowIsModelessAndShownAgain) {
    startWith({});
    h->form->menu->mnuabout->trigger();
    AboutWindow* about = h->form->menuControl->about();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->objectName(), "Form3");
    EXPECT_FALSE(about->Text1->toPlainText().isEmpty());
    about->hide();
    h->form->menu->mnuabout->trigger();
    EXPECT_EQ(h->form->menuControl->about(), about);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(MenuTest, SoundLevelItemsOpenTheMixerAtOutputAndInput) {
    installed = {"pavucontrol", "gedit"};
    startWith({});
    h->form->menu->txlev->trigger();
    h->form->menu->rxlev->trigger();
    h->form->menu->np->trigger();
    EXPECT_EQ(started, (std::vector<std::string>{"/opt/fake/pavucontrol --tab=3",
                                                 "/opt/fake/pavucontrol --tab=4", "/opt/fake/gedit"}));
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(MenuTest, ProgramThatCannotBeStartedReportsWhatWasTried) {
    installed = {"pavucontrol", "pwvucontrol"};
    broken = {"/opt/fake/pavucontrol"};
    startWith({});
    h->form->menu->txlev->trigger();
    EXPECT_EQ(started, (std::vector<std::string>{"/opt/fake/pwvucontrol"}));
    EXPECT_TRUE(told.isEmpty());

    h->form->menu->np->trigger();
    ASSERT_EQ(told.size(), 1);
    for (const auto& c : editorCommands())
        EXPECT_TRUE(told[0].contains(QString::fromStdString(c.program))) << c.program;
    EXPECT_TRUE(told[0].contains("not installed"));

    broken.push_back("/opt/fake/pwvucontrol");
    h->form->menu->rxlev->trigger();
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[1].contains("pavucontrol --tab=4 (/opt/fake/pavucontrol did not start)"))
        << told[1].toStdString();
}

TEST_F(MenuTest, GreyLineItemOnlyWithAGreyLineProgram) {
    startWith({});
    EXPECT_FALSE(h->form->menu->gl->isVisible());
    EXPECT_FALSE(h->form->menu->gl->isEnabled());

    installed = {"sunclock"};
    h->startup->startup();
    EXPECT_TRUE(h->form->menu->gl->isVisible());
    EXPECT_TRUE(h->form->menu->gl->isEnabled());
    h->form->menu->gl->trigger();
    EXPECT_EQ(started, (std::vector<std::string>{"/opt/fake/sunclock"}));
}

TEST_F(MenuTest, MenuExportAndCommand6WriteTheSameFile) {
    startWith({});
    h->form->state.utcTime = "10:00:00";
    QTest::mouseClick(h->form->logView->Command6, Qt::LeftButton);
    const std::string fromButton = readFile(h->file("zizoro.adi"));
    fs::remove(h->file("zizoro.adi"));
    h->form->menu->xport->trigger();
    EXPECT_EQ(readFile(h->file("zizoro.adi")), fromButton);
    EXPECT_EQ(fromButton, "Tavrel ADIF Log Export\r\n12-07-2026   10:00:00\r\n<EOH>\r\n");
}

TEST_F(MenuTest, CtrlShortcutsWinOverTheTextBoxesOwnKeys) {
    startWith({});
    h->form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(h->form.get()));
    auto* tx = h->form->transmit->txtTXData;
    tx->setPlainText("keep me");
    tx->selectAll();
    tx->setFocus();
    QTest::keyClick(tx, Qt::Key_X, Qt::ControlModifier); // not cut: the ADIF export
    EXPECT_TRUE(fs::exists(h->file("zizoro.adi")));
    EXPECT_EQ(tx->toPlainText(), "keep me");
    auto* call = h->form->entry->hiscall;
    call->setText("G4ABC");
    call->setFocus();
    QTest::keyClick(call, Qt::Key_U, Qt::ControlModifier); // not delete-line: the user settings
    EXPECT_NE(h->form->menuControl->userSettings(), nullptr);
    EXPECT_EQ(call->text(), "G4ABC");
}

TEST_F(MenuTest, ReapplyReturnsTheSchemeColours) {
    startWith({});
    auto* answer = h->control<QWidget>("answer");
    auto* label39 = h->control<QWidget>("Label39");
    auto* displayt = h->control<QWidget>("displayt");
    ASSERT_TRUE(answer && label39 && displayt);
    EXPECT_EQ(backColour(label39), colours::lightGrey);
    setBackColour(answer, colours::green);
    setBackColour(label39, colours::orange);
    setForeColour(displayt, colours::red);
    ASSERT_EQ(h->form->state.settings.saveOwn(), std::nullopt);
    statusEvent();
    EXPECT_EQ(backColour(answer), colours::buttonFace());
    EXPECT_EQ(backColour(label39), colours::lightGrey);
    EXPECT_EQ(foreColour(displayt), colours::black);
}

TEST_F(MenuTest, SchemeCoversEveryNamedControl) {
    startWith({});
    for (const char* name :
         {"Label1",  "Label8", "Label19", "Label27",  "Label33", "Label44", "label45", "sqlmode",  "lblimd",
          "Squelch", "Frame1", "Frame3",  "zizoro",   "Label7",  "Label26", "Label18", "sqlspeed", "qsotot",
          "Label49", "Check1", "Frame2",  "txrxfreq", "Label47", "sqlset",  "txrxusb"}) {
        QWidget* w = h->control<QWidget>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(backColour(w), colours::lightGrey) << name;
    }
    for (const char* name : {"cq", "tover", "report", "qth", "stn", "weather", "qsl", "mtext1", "mtext2",
                             "mtext3", "btu", "endqb", "abort", "modesel", "display", "Command1"}) {
        QWidget* w = h->control<QWidget>(name);
        ASSERT_NE(w, nullptr) << name;
        setBackColour(w, colours::red);
    }
    setcolours(*h->form->centralWidget());
    for (const char* name : {"cq", "abort", "display", "Command1"})
        EXPECT_EQ(backColour(h->control<QWidget>(name)), colours::buttonFace()) << name;
}

} // namespace
