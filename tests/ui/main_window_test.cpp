// The main window's assembly, its menus and the programs they start, the user settings window and
// the colour scheme, on the real main window.

#include "core/Controls.h"
#include "radio/widgets/RadioSettingsWindow.h"
#include "support/FormHarness.h"
#include "ui/MenuPrograms.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// Visible sibling controls that overlap anywhere under `root`: one laid over another. The signal
// bar's mask ("sig") lies over its segments on purpose.
QStringList overlaps(const QWidget* root) {
    QStringList found;
    std::vector<const QWidget*> seen;
    for (const QObject* o : root->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (!w || !w->isVisible() || w->isWindow() || w->geometry().isEmpty() || w->objectName() == "sig" ||
            w->objectName().startsWith("qt_"))
            continue;
        for (const QWidget* other : seen)
            if (other->geometry().intersects(w->geometry()))
                found << other->objectName() + "/" + w->objectName();
        seen.push_back(w);
        found << overlaps(w);
    }
    return found;
}

// Every control has a place of its own, in the main window and in the settings windows; each
// pop-up starts hidden and lies over the panel it belongs to.
TEST(MainWindow, ControlsDoNotOverlapAndPopupsLieOverTheirPanels) {
    FormHarness h;
    h.startSettled();
    Form1& f = *h.form;
    f.show();
    const QRect window = f.centralWidget()->rect();
    // Where a panel lies in the window, however deep in the layout it sits.
    auto at = [&f](const QWidget* w) { return QRect(w->mapTo(f.centralWidget(), QPoint(0, 0)), w->size()); };
    EXPECT_EQ(overlaps(&f), QStringList());
    for (const QWidget* panel :
         std::initializer_list<const QWidget*>{f.receive, f.status, f.radioPanel, f.modemDisplay, f.receiver,
                                               f.transmit, f.qso, f.entry, f.lookup, f.stationInfo})
        EXPECT_TRUE(panel->isVisible() && window.contains(at(panel))) << panel->objectName().toStdString();
    f.menu->mnusettings->trigger();
    f.menu->radio->trigger();
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.menuControl->userSettings(), f.radioControl->settingsWindow()}) {
        ASSERT_TRUE(w && w->isVisible());
        EXPECT_EQ(overlaps(w), QStringList()) << w->objectName().toStdString();
    }
    // The display ranges stand in one column, one under the other.
    const UserSettingsWindow& u = *f.menuControl->userSettings();
    EXPECT_EQ(std::pair(u.rangenormal->x(), u.rangewide->x()),
              std::pair(u.rangecustom->x(), u.rangecustom->x()));

    QWidget* hidden[] = {f.logView, f.macroEditor->Frame5, f.macroEditor->Frame6,    f.presetEntry,
                         f.backup,  f.capture->Textclick,  f.capture->testclicktitle};
    for (QWidget* w : hidden) {
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
        w->setVisible(true);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.logView, f.macroEditor, f.presetEntry, f.backup, f.capture})
        EXPECT_TRUE(w->isVisible() && window.contains(w->geometry())) << w->objectName().toStdString();
    // The macro editor opens under the button row, clear of the display and the transmit window.
    const QRect macro = f.macroEditor->geometry();
    EXPECT_GT(macro.top(), at(f.qso).bottom());
    EXPECT_FALSE(macro.intersects(at(f.modemDisplay)) || macro.intersects(at(f.transmit)));
    EXPECT_GE(f.macroEditor->macrotext->height(), 4 * f.macroEditor->macrotext->fontMetrics().lineSpacing());
    const QRect radio = at(f.radioPanel), preset = f.presetEntry->geometry();
    EXPECT_EQ(std::pair(preset.left(), preset.width()), std::pair(radio.left(), radio.width()));
    EXPECT_GT(preset.top(), radio.bottom());
    EXPECT_NEAR(f.backup->geometry().center().x(), window.center().x(), 1.0);
    EXPECT_TRUE(f.entry->geometry().contains(f.capture->geometry().topLeft()));
    EXPECT_LT(f.capture->geometry().right(), f.entry->geometry().right());
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(MenuPrograms, FirstProgramThatStartsWinsAndEveryTryIsReported) {
    std::vector<std::string> installed = {"pwvucontrol", "pavucontrol"}, broken = {"/opt/pavucontrol"},
                             started;
    const ProgramRunner runner{
        [&](const std::string& p) { return contains(installed, p) ? "/opt/" + p : ""; },
        [&](const std::string& path, const std::vector<std::string>& args) {
            if (!contains(broken, path)) started.push_back(path + (args.empty() ? "" : " " + args[0]));
            return !contains(broken, path);
        }};
    LaunchResult r = launchFirst(mixerCommands(true), runner);
    EXPECT_EQ(std::tuple(r.started, r.what, started),
              std::tuple(true, std::string("pwvucontrol"), std::vector<std::string>{"/opt/pwvucontrol"}));
    broken.push_back("/opt/pwvucontrol");
    r = launchFirst(mixerCommands(false), runner);
    EXPECT_FALSE(r.started);
    EXPECT_EQ(r.what,
              "pavucontrol --tab=4 (/opt/pavucontrol did not start)\npavucontrol-qt (not installed)\n"
              "pwvucontrol (/opt/pwvucontrol did not start)\ngnome-control-center sound (not installed)");
    EXPECT_EQ(findFirst(greyLineCommands(), runner), "");
    installed.push_back("xearth");
    EXPECT_EQ(findFirst(greyLineCommands(), runner), "/opt/xearth");
}

class MenuTest : public ::testing::Test {
protected:
    // Programs named in `installed` are found under /opt/fake.
    void start(const FormHarness::Items& items = {}) {
        h.form->menuControl->runner = {
            [this](const std::string& p) { return contains(installed, p) ? "/opt/fake/" + p : ""; },
            [this](const std::string& path, const std::vector<std::string>& args) {
                started.push_back(path + (args.empty() ? "" : " " + args[0]));
                return true;
            }};
        h.form->state.tellOperator = [this](const std::string& t) { told << QString::fromStdString(t); };
        h.startSettled(items);
    }
    UserSettingsWindow* openUserSettings() {
        h.form->menu->mnusettings->trigger();
        return h.form->menuControl->userSettings();
    }
    // A click on the round indicator, where the operator aims.
    static void pick(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

    FormHarness h;
    std::vector<std::string> installed, started;
    QStringList told;
};

TEST_F(MenuTest, ProgramItemsStartTheirProgramsOrSayWhatWasTried) {
    start();
    EXPECT_FALSE(h.form->menu->gl->isVisible() || h.form->menu->gl->isEnabled());
    installed = {"pavucontrol", "gedit", "sunclock"};
    h.startup->startup(); // the grey-line item is looked for at start-up
    EXPECT_TRUE(h.form->menu->gl->isVisible() && h.form->menu->gl->isEnabled());
    for (QAction* a : {h.form->menu->txlev, h.form->menu->rxlev, h.form->menu->np, h.form->menu->gl})
        a->trigger();
    EXPECT_EQ(started,
              (std::vector<std::string>{"/opt/fake/pavucontrol --tab=3", "/opt/fake/pavucontrol --tab=4",
                                        "/opt/fake/gedit", "/opt/fake/sunclock"}));
    EXPECT_TRUE(told.isEmpty());
    installed.clear();
    h.form->menu->np->trigger();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(
        told[0].startsWith("No text editor could be started. Tried:\ngnome-text-editor (not installed)\n"))
        << told[0].toStdString();
}

// The window shows the file and turns off the focus return; edits stay in it until "Save
// Settings", and the next status event hands them to the modem.
TEST_F(MenuTest, UserSettingsShowTheFileAndReachTheModemAtTheNextStatusEvent) {
    const std::tuple<int, const char*, const char*> boxes[] = {
        {0, "mycall", "G4ABC"},      {2, "myname", "Bob"},
        {3, "mytown", "Leeds"},      {4, "myarea", "Yorkshire, UK"},
        {5, "mylocator", "IO93"},    {6, "mycomputer", "PC"},
        {8, "myrig", "FT-817"},      {9, "mypower", "5"},
        {10, "myantenna", "Dipole"}, {12, "gmt", "-1"},
        {16, "mylat", "53.8"},       {17, "mylong", "1.55"},
        {61, "rangebottom", "500"},  {62, "rangetop", "2500"}};
    FormHarness::Items items = {{26, "2"}, {27, "3"}, {38, "0"}, {60, "3"}};
    for (auto [item, box, value] : boxes)
        items.emplace_back(item, value);
    start(items);
    h.form->state.keepTxFocus = 1;
    UserSettingsWindow* w = openUserSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible() && w->isWindow() && h.form->isEnabled());
    EXPECT_EQ(h.form->state.keepTxFocus, 0);
    for (auto [item, box, value] : boxes)
        EXPECT_EQ(w->findChild<QLineEdit*>(box)->text(), value) << box;
    EXPECT_EQ(w->Combo1->currentText(), "2");
    EXPECT_TRUE(w->Option3->isChecked() && w->rangecustom->isChecked() && !w->cqtick->isChecked());

    const std::string before = readFile(h.file("tavrel.ini"));
    w->mycall->setText("NEWCALL");
    pick(w->Option2);
    pick(w->rangewide);
    EXPECT_EQ(w->list()[60], "2");
    pick(w->rangecustom);
    w->rangebottom->setText("400");
    w->rangetop->setText("2600");
    pick(w->cqtick);
    w->Combo1->setFocus();
    w->Combo1->lineEdit()->selectAll();
    QTest::keyClicks(w->Combo1, "3");
    EXPECT_EQ(w->list()[26], "2"); // a typed port counts once the operator presses Enter
    QTest::keyClick(w->Combo1, Qt::Key_Return);
    const SettingsList& l = w->list();
    EXPECT_EQ(std::vector<std::string>({l[0], l[26], l[27], l[38], l[60], l[61], l[62]}),
              (std::vector<std::string>{"NEWCALL", "3", "2", "1", "3", "400", "2600"}));
    pick(w->Option4); // PTT through the rig
    EXPECT_EQ(w->list()[27], "4");
    pick(w->Option2);
    EXPECT_EQ(readFile(h.file("tavrel.ini")), before);

    QTest::mouseClick(w->Command1, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(h.form->state.settings.changePending());
    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(w->list()));
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(std::vector<int>({h.modem.pttPort, h.modem.pttLine, h.modem.rangeLow, h.modem.rangeHigh}),
              (std::vector<int>{3, 2, 400, 2600}));
}

TEST_F(MenuTest, HiddenWindowsKeepTheirEditsAndTheCloseBoxDropsThem) {
    start({{2, "Bob"}});
    UserSettingsWindow* w = openUserSettings();
    w->myname->setText("Robert");
    w->hide();
    EXPECT_EQ(openUserSettings(), w);
    EXPECT_EQ(w->myname->text(), "Robert");
    w->close();
    EXPECT_EQ(readSettings(h.file("tavrel.ini"))[2], "Bob");
    // The About window is modeless and shown again, not made anew.
    h.form->menu->mnuabout->trigger();
    AboutWindow* about = h.form->menuControl->about();
    ASSERT_TRUE(about && about->isVisible() && !about->isModal());
    about->hide();
    h.form->menu->mnuabout->trigger();
    EXPECT_TRUE(h.form->menuControl->about() == about && about->isVisible());
    UserSettingsWindow* again = openUserSettings();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, w);
    EXPECT_EQ(again->myname->text(), "Bob");
}

// The text boxes' own Ctrl+X and Ctrl+U give way to the menu's; the export writes what the log
// view's button writes.
TEST_F(MenuTest, CtrlShortcutsWinOverTheTextBoxesOwnKeys) {
    start();
    h.form->state.utcTime = "10:00:00";
    QTest::mouseClick(h.form->logView->Command6, Qt::LeftButton);
    const std::string fromButton = readFile(h.file("zizoro.adi"));
    ASSERT_TRUE(fromButton.starts_with("Tavrel ADIF Log Export"));
    std::filesystem::remove(h.file("zizoro.adi"));
    h.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(h.form.get()));
    auto* tx = h.form->transmit->txtTXData;
    tx->setPlainText("keep me");
    tx->selectAll();
    tx->setFocus();
    QTest::keyClick(tx, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(readFile(h.file("zizoro.adi")), fromButton);
    EXPECT_EQ(tx->toPlainText(), "keep me");
    auto* call = h.form->entry->hiscall;
    call->setText("G4ABC");
    call->setFocus();
    QTest::keyClick(call, Qt::Key_U, Qt::ControlModifier);
    EXPECT_NE(h.form->menuControl->userSettings(), nullptr);
    EXPECT_EQ(call->text(), "G4ABC");
}

// One control of each group of the scheme, put back by the re-apply.
TEST_F(MenuTest, ReapplyReturnsTheSchemeColours) {
    start();
    const std::tuple<const char*, bool, QColor> scheme[] = {{"Label39", true, colours::lightGrey},
                                                            {"answer", true, colours::buttonFace()},
                                                            {"displayt", false, colours::black},
                                                            {"sqlset", true, colours::lightGrey},
                                                            {"Command1", true, colours::buttonFace()}};
    for (auto [name, back, colour] : scheme)
        (back ? setBackColour : setForeColour)(h.control(name), colours::orange);
    ASSERT_EQ(h.form->state.settings.saveOwn(), std::nullopt); // a re-apply at the next status event
    h.modem.raiseStatus(1200, 0);
    for (auto [name, back, colour] : scheme)
        EXPECT_EQ((back ? backColour : foreColour)(h.control(name)), colour) << name;
}

} // namespace
