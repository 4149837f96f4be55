// The radio settings window opened from the main window's menu, and the port boxes.

#include "radio/widgets/HamlibPicker.h"
#include "radio/widgets/PortBox.h"
#include "radio/widgets/RadioControl.h"
#include "radio/widgets/RadioSettingsWindow.h"
#include "support/FormHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class RadioSettingsTest : public ::testing::Test {
protected:
    RadioSettingsWindow* open() {
        h.form->menu->radio->trigger();
        return h.form->radioControl->settingsWindow();
    }
    RadioSettingsWindow* startAndOpen(const FormHarness::Items& items) {
        h.startSettled(items);
        EXPECT_EQ(settingsChanged, 0);
        return open();
    }
    static void type(QComboBox* box, const char* text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), QString::fromLatin1(text));
    }
    SettingsList onDisk() const { return readSettings(h.file("tavrel.ini")); }
    FormHarness h;
};

TEST_F(RadioSettingsTest, MenuItemOpensOneModelessWindowFilledFromTheFile) {
    RadioSettingsWindow* w = startAndOpen({{40, "No"},
                                           {41, "/dev/ttyUSB3"},
                                           {42, "4800"},
                                           {43, "7"},
                                           {44, "E"},
                                           {45, "2"},
                                           {46, "035"},
                                           {47, "070"},
                                           {48, "071"},
                                           {49, "120"}});
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible() && w->isWindow() && !w->isModal());
    const QStringList shown = {w->rcyes->currentText(),  w->comportr->currentText(),
                               w->baud->currentText(),   w->Databits->currentText(),
                               w->parity->currentText(), w->stopbits->currentText(),
                               w->fortypre->text(),      w->twentypre->text(),
                               w->fifteenpre->text(),    w->tenpre->text()};
    EXPECT_EQ(shown, QStringList({"No", "/dev/ttyUSB3", "4800", "7", "E", "2", "035", "070", "071", "120"}));
    EXPECT_EQ(open(), w);
}

TEST_F(RadioSettingsTest, ModelItemSelectsItsButtonAndOtherValuesSelectNone) {
    const std::pair<const char*, int> cases[] = {{"1", 0}, {"2", 1}, {"3", 2}, {"4", 3}, {"", -1}, {"9", -1}};
    for (auto [model, selected] : cases) {
        SCOPED_TRACE(model);
        h.writeSettingsWith({{63, model}});
        RadioSettingsWindow w(h.file("tavrel.ini"), nullptr, nullptr, std::vector<std::string>{});
        const QRadioButton* buttons[4] = {w.ic735, w.ft900, w.ts440, w.hamlib};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(buttons[i]->isChecked(), i == selected);
        EXPECT_EQ(w.hamlibRig->isEnabled(), selected == 3);
    }
}

// Each edit goes into the window's list at once; nothing reaches the file before "Update
// Settings", which writes the list and hides the window; the next status event opens the port.
TEST_F(RadioSettingsTest, UpdateWritesTheEditsAndTheNextStatusEventOpensThePort) {
    RadioSettingsWindow* w = startAndOpen({{63, "1"}, {41, "0"}, {46, "035"}, {50, "20"}});
    const std::string before = readFile(h.file("tavrel.ini"));
    QTest::mouseClick(w->ft900, Qt::LeftButton);
    QTest::keyClicks(w->fortypre, "7");
    w->twentypre->setText("074");
    w->fifteenpre->setText("080");
    w->tenpre->setText("150");
    EXPECT_EQ(w->settings()[46], "0357");
    EXPECT_EQ(w->settings()[63], "2");
    type(w->rcyes, "Yes");
    type(w->comportr, "/dev/ttyUSB7");
    type(w->baud, "9600");
    type(w->Databits, "8");
    type(w->parity, "N");
    type(w->stopbits, "2");
    EXPECT_EQ(readFile(h.file("tavrel.ini")), before);

    h.comm2.clearRecord();
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    const SettingsList s = onDisk();
    EXPECT_EQ(std::vector<std::string>(s.begin() + 40, s.begin() + 50),
              (std::vector<std::string>{"Yes", "/dev/ttyUSB7", "9600", "8", "N", "2", "0357", "074", "080",
                                        "150"}));
    EXPECT_EQ(s[63], "2");
    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(w->settings()));
    EXPECT_EQ(settingsChanged, 1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(h.form->radioControl->settingsWindow(), w); // hidden, still loaded
    EXPECT_TRUE(h.comm2.writes().empty());

    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(
        h.comm2.writes(),
        (std::vector<std::string>{"CommPort=/dev/ttyUSB7", "Settings=9600, N, 8, 2", "Handshaking=0",
                                  "PortOpen=1", "CommPort=/dev/ttyUSB7 (failed)", "Output=00 74 40 01 0A"}));
}

TEST_F(RadioSettingsTest, UpdateThatCannotBeSavedSaysWhyAndKeepsTheWindowAndItsValues) {
    RadioSettingsWindow* w = startAndOpen({{41, "0"}});
    QStringList told;
    w->tellOperator = [&](const QString& t) { told << t; };
    std::filesystem::create_directory(h.file("tavrel.ini.tmp")); // the write cannot be made
    type(w->comportr, "2");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("tavrel.ini")) << told[0].toStdString();
    EXPECT_EQ(settingsChanged, 0); // no re-apply reads the old file over the edit
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->comportr->currentText(), "2");
    std::filesystem::remove(h.file("tavrel.ini.tmp"));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    EXPECT_EQ(onDisk()[41], "2");
}

TEST_F(RadioSettingsTest, CloseBoxDropsTheEditsAndTheNextOpeningReadsTheFile) {
    RadioSettingsWindow* w = startAndOpen({{46, "035"}, {42, "1200"}});
    w->fortypre->setText("040");
    type(w->baud, "9600");
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(h.form->radioControl->settingsWindow(), nullptr);
    EXPECT_EQ(settingsChanged, 0);
    EXPECT_EQ(onDisk()[46], "035");
    RadioSettingsWindow* again = open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->fortypre->text(), "035");
    EXPECT_EQ(again->baud->currentText(), "1200");
}

// The window keeps the list it read when it was loaded: a band saved by the main window since is
// written back with the window's older value, as every settings writer writes its whole list.
TEST_F(RadioSettingsTest, LastWriterWinsOverTheWholeList) {
    RadioSettingsWindow* w = startAndOpen({{50, "20"}});
    w->Command1_Click(); // hidden, still loaded with item 50 "20"
    h.modem.raiseStatus(1200, 0);
    QTest::mouseClick(h.form->radioPanel->forty, Qt::LeftButton);
    EXPECT_EQ(onDisk()[50], "40");
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(open(), w); // shown again, not read again
    w->Command1_Click();
    EXPECT_EQ(onDisk()[50], "20");
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.form->state.currentBand, "20");
}

// The Hamlib choice: the rig list searched and picked, the data mode, and "Test" against Hamlib's
// dummy rig and against a network rig that is not there; the window never waits for the rig.
TEST_F(RadioSettingsTest, HamlibRigIsPickedFromTheListAndTested) {
    RadioSettingsWindow* w = startAndOpen({{63, "1"}, {64, "3073"}, {65, "1"}});
    HamlibPicker* p = w->hamlibRig;
    EXPECT_EQ(p->selectedModel(), 3073);
    EXPECT_TRUE(p->hamdata->isChecked());
    // On its indicator: a radio button takes clicks on its indicator and caption only.
    QTest::mouseClick(w->hamlib, Qt::LeftButton, {}, QPoint(6, w->hamlib->height() / 2));
    EXPECT_TRUE(p->isEnabled());
    EXPECT_EQ(w->settings()[63], "4");

    QTest::keyClicks(p->rigsearch, "yaesu 991");
    QStringList shown;
    for (int i = 0; i < p->riglist->topLevelItemCount(); ++i)
        if (!p->riglist->topLevelItem(i)->isHidden()) shown << p->riglist->topLevelItem(i)->text(1);
    ASSERT_TRUE(shown.contains("FT-991")) << shown.join(", ").toStdString();
    EXPECT_LE(shown.size(), 3);
    p->riglist->setCurrentItem(p->riglist->findItems("FT-991", Qt::MatchExactly, 1).front());
    EXPECT_EQ(w->settings()[64], std::to_string(p->selectedModel()));
    QTest::mouseClick(p->hamdata, Qt::LeftButton);
    EXPECT_EQ(w->settings()[65], "0");
    p->rigsearch->clear();
    EXPECT_FALSE(p->riglist->topLevelItem(0)->isHidden());

    // A serial rig with no port names the problem at once.
    type(w->comportr, "0");
    QTest::mouseClick(p->rigtest, Qt::LeftButton);
    EXPECT_EQ(p->rigtestresult->text(), "no CAT port set for Yaesu FT-991");
    const std::tuple<int, const char*, const char*> tests[] = {{1, "0", "Rig answers: "},
                                                               {2, "127.0.0.1:1", "rig not responding: "}};
    for (auto [model, port, answer] : tests) {
        p->selectModel(model);
        type(w->comportr, port);
        QTest::mouseClick(p->rigtest, Qt::LeftButton);
        EXPECT_EQ(p->rigtestresult->text(), "Testing...");
        EXPECT_FALSE(p->rigtest->isEnabled());
        EXPECT_TRUE(QTest::qWaitFor([&] { return p->rigtest->isEnabled(); }, 10000));
        EXPECT_TRUE(p->rigtestresult->text().startsWith(answer)) << p->rigtestresult->text().toStdString();
    }
    w->Command1_Click();
    const SettingsList s = onDisk();
    EXPECT_EQ(std::vector<std::string>({s[63], s[64], s[65], s[41]}),
              (std::vector<std::string>{"4", "2", "0", "127.0.0.1:1"}));
}

TEST(PortBox, ListsTheFourPortsThenTheDevicesAndKeepsItsText) {
    testApplication();
    QComboBox box;
    box.setEditable(true);
    box.setCurrentText("/dev/ttyS9");
    fillPortBox(box, {"/dev/ttyACM0", "/dev/ttyUSB0"});
    fillPortBox(box, {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"}); // replaces, never adds
    QStringList listed;
    for (int i = 0; i < box.count(); ++i)
        listed << box.itemText(i);
    EXPECT_EQ(listed, QStringList({"0", "1", "2", "3", "4", "/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
    EXPECT_EQ(box.currentText(), "/dev/ttyS9");
    // A typed path is not added either.
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), "/dev/ttyUSB5");
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.count(), 8);
    EXPECT_EQ(box.currentText(), "/dev/ttyUSB5");
}

} // namespace
