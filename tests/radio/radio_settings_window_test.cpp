// The radio settings window opened from the main window's menu, and the port boxes.

#include "core/Controls.h"
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
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    void startWith(std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        for (auto [i, v] : items)
            s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
        h->modem.raiseStatus(1200, 0); // the re-apply that follows the band restore
        ASSERT_FALSE(h->form->state.settings.changePending());
    }
    RadioSettingsWindow* open() {
        h->form->menu->radio->trigger();
        return h->form->radioControl->settingsWindow();
    }
    static void unload(RadioSettingsWindow* w) {
        w->close(); // the close box
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void type(QComboBox* box, const char* text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), QString::fromLatin1(text));
    }
    SettingsList onDisk() const { return readSettings(h->file("tavrel.ini")); }
    std::unique_ptr<FormHarness> h;
};

TEST_F(RadioSettingsTest, MenuItemOpensAModelessWindowFilledFromTheFile) {
    startWith({{40, "No"},
               {41, "/dev/ttyUSB3"},
               {42, "4800"},
               {43, "7"},
               {44, "E"},
               {45, "2"},
               {46, "035"},
               {47, "070"},
               {48, "070"},
               {49, "120"},
               {63, "2"}});
    RadioSettingsWindow* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->rcyes->currentText(), "No");
    EXPECT_EQ(w->comportr->currentText(), "/dev/ttyUSB3");
    EXPECT_EQ(w->baud->currentText(), "4800");
    EXPECT_EQ(w->Databits->currentText(), "7");
    EXPECT_EQ(w->parity->currentText(), "E");
    EXPECT_EQ(w->stopbits->currentText(), "2");
    EXPECT_EQ(w->fortypre->text(), "035");
    EXPECT_EQ(w->twentypre->text(), "070");
    EXPECT_EQ(w->fifteenpre->text(), "070");
    EXPECT_EQ(w->tenpre->text(), "120");
    EXPECT_FALSE(w->ic735->isChecked());
    EXPECT_TRUE(w->ft900->isChecked());
    EXPECT_FALSE(w->ts440->isChecked());
    // Opening it again shows the same window.
    EXPECT_EQ(open(), w);
}

TEST_F(RadioSettingsTest, ModelItemSelectsItsButtonAndOtherValuesSelectNone) {
    const std::pair<const char*, int> cases[] = {{"1", 0}, {"2", 1}, {"3", 2}, {"4", 3}, {"", -1}, {"9", -1}};
    for (auto [model, selected] : cases) {
        SCOPED_TRACE(model);
        SettingsList s = defaultSettings();
        s[63] = model;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        RadioSettingsWindow w(h->form->state, nullptr, nullptr, std::vector<std::string>{});
        const QRadioButton* buttons[4] = {w.ic735, w.ft900, w.ts440, w.hamlib};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(buttons[i]->isChecked(), i == selected);
        EXPECT_EQ(w.hamlibRig->isEnabled(), selected == 3);
    }
}

TEST_F(RadioSettingsTest, UpdateWritesTheBoxesAndReopensThePortWithTheNewModel) {
    startWith({{63, "1"}, {41, "0"}, {50, "20"}});
    RadioSettingsWindow* w = open();
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w->ft900, Qt::LeftButton);
    type(w->comportr, "1");
    type(w->baud, "9600");
    type(w->Databits, "8");
    type(w->parity, "N");
    type(w->stopbits, "2");
    type(w->rcyes, "Yes");
    h->comm2.clearRecord();
    QTest::mouseClick(w->Command1, Qt::LeftButton);

    const SettingsList s = onDisk();
    EXPECT_EQ(s[63], "2");
    EXPECT_EQ(s[40], "Yes");
    EXPECT_EQ(s[41], "1");
    EXPECT_EQ(s[42], "9600");
    EXPECT_EQ(s[43], "8");
    EXPECT_EQ(s[44], "N");
    EXPECT_EQ(s[45], "2");
    EXPECT_EQ(readFile(h->file("tavrel.ini")), formatSettings(w->settings()));
    EXPECT_TRUE(h->form->state.settings.changePending());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(h->form->radioControl->settingsWindow(), w); // hidden, still loaded
    EXPECT_TRUE(h->comm2.writes().empty());                // the main window acts at the next status event

    h->modem.raiseStatus(1200, 0);
    const std::vector<std::string> expected = {"CommPort=1",          "Settings=9600, N, 8, 2",
                                               "Handshaking=0",       "PortOpen=1",
                                               "CommPort=1 (failed)", "Output=00 70 40 01 0A"};
    EXPECT_EQ(h->comm2.writes(), expected);
}

TEST_F(RadioSettingsTest, UpdateThatCannotBeSavedSaysWhyAndKeepsTheWindowAndItsValues) {
    startWith({{41, "0"}});
    RadioSettingsWindow* w = open();
    ASSERT_NE(w, nullptr);
    QStringList told;
    h->form->state.tellOperator = [&](const std::string& t) { told << QString::fromStdString(t); };
    std::filesystem::create_directory(h->file("tavrel.ini.tmp")); // the write cannot be made
    type(w->comportr, "2");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("tavrel.ini")) << told[0].toStdString();
    EXPECT_FALSE(h->form->state.settings.changePending()); // no re-apply reads the old file over the edit
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->comportr->currentText(), "2");
    std::filesystem::remove(h->file("tavrel.ini.tmp"));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    EXPECT_EQ(onDisk()[41], "2");
    EXPECT_TRUE(h->form->state.settings.changePending());
}

TEST_F(RadioSettingsTest, TypedDevicePathIsStoredAndOpened) {
    startWith({{42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    RadioSettingsWindow* w = open();
    type(w->comportr, "/dev/ttyUSB7");
    w->Command1_Click();
    EXPECT_EQ(onDisk()[41], "/dev/ttyUSB7");
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->comm2.commPort(), "/dev/ttyUSB7");
    EXPECT_TRUE(h->comm2.portOpen());
}

TEST_F(RadioSettingsTest, PresetBoxesAndModelGoIntoTheListAsTheyChange) {
    startWith({{46, "035"}, {63, "1"}});
    RadioSettingsWindow* w = open();
    QTest::keyClicks(w->fortypre, "7");
    EXPECT_EQ(w->settings()[46], "0357");
    w->tenpre->setText(QString());
    EXPECT_EQ(w->settings()[49], "");
    QTest::mouseClick(w->ts440, Qt::LeftButton);
    EXPECT_EQ(w->settings()[63], "3");
    // Nothing reaches the file before "Update Settings".
    EXPECT_EQ(onDisk()[46], "035");
    EXPECT_EQ(onDisk()[63], "1");
    w->Command1_Click();
    EXPECT_EQ(onDisk()[46], "0357");
    EXPECT_EQ(onDisk()[63], "3");
}

TEST_F(RadioSettingsTest, CloseBoxDropsTheEditsAndTheNextOpeningReadsTheFile) {
    startWith({{46, "035"}, {42, "1200"}});
    RadioSettingsWindow* w = open();
    w->fortypre->setText("040");
    type(w->baud, "9600");
    unload(w);
    EXPECT_EQ(h->form->radioControl->settingsWindow(), nullptr);
    EXPECT_FALSE(h->form->state.settings.changePending());
    EXPECT_EQ(onDisk()[46], "035");

    RadioSettingsWindow* again = open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->fortypre->text(), "035");
    EXPECT_EQ(again->baud->currentText(), "1200");
}

// The window keeps the list it read when it was loaded: a band saved by the main window since is
// written back with the window's older value, as every settings writer writes its whole list.
TEST_F(RadioSettingsTest, LastWriterWinsOverTheWholeList) {
    startWith({{50, "20"}});
    RadioSettingsWindow* w = open();
    w->Command1_Click(); // hidden, still loaded with item 50 "20"
    h->modem.raiseStatus(1200, 0);

    QTest::mouseClick(h->form->radioPanel->forty, Qt::LeftButton);
    EXPECT_EQ(onDisk()[50], "40");
    h->modem.raiseStatus(1200, 0);

    EXPECT_EQ(open(), w); // shown again, not read again
    w->Command1_Click();
    EXPECT_EQ(onDisk()[50], "20");
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->form->state.currentBand, "20");
}

// The Hamlib choice: the rig list searched and picked, the data mode, and "Test" against Hamlib's
// dummy rig and against a network rig that is not there; the window never waits for the rig.
TEST_F(RadioSettingsTest, HamlibRigIsPickedFromTheListAndTested) {
    startWith({{63, "1"}, {64, "3073"}, {65, "1"}});
    RadioSettingsWindow* w = open();
    HamlibPicker* p = w->hamlibRig;
    EXPECT_EQ(p->selectedModel(), 3073); // the stored model is shown
    EXPECT_TRUE(p->hamdata->isChecked());
    // On its indicator: a radio button takes clicks on its indicator and caption only.
    QTest::mouseClick(w->hamlib, Qt::LeftButton, {}, QPoint(6, w->hamlib->height() / 2));
    EXPECT_TRUE(p->isEnabled());
    EXPECT_EQ(w->settings()[63], "4");

    QTest::keyClicks(p->rigsearch, "yaesu 991");
    int shown = 0;
    QTreeWidgetItem* ft991 = nullptr;
    for (int i = 0; i < p->riglist->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = p->riglist->topLevelItem(i);
        if (row->isHidden()) continue;
        ++shown;
        EXPECT_EQ(row->text(0), "Yaesu");
        EXPECT_TRUE(row->text(1).contains("991"));
        if (row->text(1) == "FT-991") ft991 = row;
    }
    ASSERT_NE(ft991, nullptr);
    EXPECT_LE(shown, 3);
    p->riglist->setCurrentItem(ft991);
    EXPECT_EQ(w->settings()[64], ft991->text(2).toStdString());
    QTest::mouseClick(p->hamdata, Qt::LeftButton);
    EXPECT_EQ(w->settings()[65], "0");
    p->rigsearch->clear();
    EXPECT_FALSE(p->riglist->topLevelItem(0)->isHidden());

    // A serial rig with no port names the problem at once.
    type(w->comportr, "0");
    QTest::mouseClick(p->rigtest, Qt::LeftButton);
    EXPECT_EQ(p->rigtestresult->text(), "no CAT port set for Yaesu FT-991");

    const struct {
        const char* model;
        const char* port;
        const char* answer;
    } tests[] = {{"1", "0", "Rig answers: "}, {"2", "127.0.0.1:1", "rig not responding: "}};
    for (const auto& t : tests) {
        p->selectModel(std::stoi(t.model));
        type(w->comportr, t.port);
        QTest::mouseClick(p->rigtest, Qt::LeftButton);
        EXPECT_EQ(p->rigtestresult->text(), "Testing...");
        EXPECT_FALSE(p->rigtest->isEnabled());
        EXPECT_TRUE(QTest::qWaitFor([&] { return p->rigtest->isEnabled(); }, 10000));
        EXPECT_TRUE(p->rigtestresult->text().startsWith(t.answer)) << p->rigtestresult->text().toStdString();
    }

    w->Command1_Click();
    const SettingsList s = onDisk();
    EXPECT_EQ(s[63], "4");
    EXPECT_EQ(s[64], "2");
    EXPECT_EQ(s[65], "0");
    EXPECT_EQ(s[41], "127.0.0.1:1");
}

TEST(PortBox, ListsTheFourPortsThenTheDevicesAndKeepsItsText) {
    testApplication();
    QComboBox box;
    box.setEditable(true);
    box.setCurrentText("/dev/ttyS9");
    fillPortBox(box, {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"});
    QStringList listed;
    for (int i = 0; i < box.count(); ++i)
        listed << box.itemText(i);
    EXPECT_EQ(listed, QStringList({"0", "1", "2", "3", "4", "/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
    EXPECT_EQ(box.currentText(), "/dev/ttyS9");

    // Filling again replaces the list rather than adding to it; a typed path is not added either.
    fillPortBox(box, {"/dev/ttyUSB0"});
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), "/dev/ttyUSB5");
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.count(), 6);
    EXPECT_EQ(box.currentText(), "/dev/ttyUSB5");
}

} // namespace
