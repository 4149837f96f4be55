// The band buttons, the radio panel switch, the radio settings window and Hamlib rigs (the dummy
// rig in process, a real rigctld driven with rigctl from outside) on the real main window.

#include "radio/widgets/HamlibPicker.h"
#include "radio/widgets/RadioControl.h"
#include "radio/widgets/RadioSettingsWindow.h"
#include "radio/widgets/RigControl.h"
#include "support/FormHarness.h"
#include "support/Rigctld.h"

#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class RadioWindowTest : public ::testing::Test {
protected:
    // The CAT port "1" at 9600, N, 8, 1, and more.
    static FormHarness::Items catPortAnd(FormHarness::Items more) {
        more.insert(more.begin(), {{41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
        return more;
    }
    RadioSettingsWindow* openSettings() {
        h.form->menu->radio->trigger();
        return h.form->radioControl->settingsWindow();
    }
    static void type(QComboBox* box, const char* text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), QString::fromLatin1(text));
    }
    SettingsList onDisk() const { return readSettings(h.file("tavrel.ini")); }
    RadioPanel& panel() { return *h.form->radioPanel; }
    QString band() { return h.form->entry->band->currentText(); }
    RigControl& rig() { return h.form->radioControl->rig(); }
    QString rigStatus() { return h.control<QLabel>("rigstatus")->text(); }
    static bool waitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 15000); }
    FormHarness h;
};

// Each button (and the band list for the other bands) tunes its band, to its preset here, with one
// write of the model's frame, shows it, tells the modem the dial and saves the band, which marks the
// settings changed.
TEST_F(RadioWindowTest, EachBandButtonTunesItsBandWithOneWriteAndSavesIt) {
    h.startSettled(catPortAnd({{63, "3"}, {46, "040"}, {47, "074.5"}, {48, "080"}, {49, "150"}}));
    const std::tuple<QPushButton*, const char*, const char*, const char*, double> rows[] = {
        {panel().forty, "40", "FA00007040000;", "7.040.00", 7040},
        {panel().twenty, "20", "FA00014074500;", "14.074.50", 14074.5},
        {panel().fifteen, "15", "FA00021080000;", "21.080.00", 21080},
        {panel().ten, "10", "FA00028150000;", "28.150.00", 28150},
        {nullptr, "60", "FA00005357000;", "5.357.00", 5357}};
    for (auto [button, bandName, command, dial, kHz] : rows) {
        h.comm2.clearRecord();
        h.modem.clearCalls();
        h.form->state.settings.takeChange();
        if (button) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            panel().bandlist->setCurrentText(bandName);
            emit panel().bandlist->activated(panel().bandlist->currentIndex());
        }
        EXPECT_EQ(std::pair(h.comm2.writes(), h.modem.calls),
                  std::pair(std::vector<std::string>{"Output=" + hexBytes(command)},
                            std::vector<std::string>{"DialFreq=" + std::to_string(kHz)}));
        EXPECT_EQ(QStringList({panel().txrxfreq->text(), band(), panel().bandlist->currentText(),
                               QString::fromStdString(onDisk()[50])}),
                  QStringList({dial, bandName, bandName, bandName}));
        EXPECT_TRUE(h.form->state.settings.changePending());
    }
}

// With radio control off the band is still restored, and the next status event hides the band
// buttons, shows the audio presets and sets the dial to 0; switched on again, the buttons return.
TEST_F(RadioWindowTest, RadioControlSwitchesTheRadioPanelAndThePresetsAtTheNextStatusEvent) {
    h.startWith(catPortAnd({{40, "No"}, {50, "15"}, {63, "1"}}));
    EXPECT_EQ(hexBytes(h.comm2.written()), "FE FE 04 E0 05 00 00 07 21 FD");
    const auto shown = [&](bool radio) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{panel().Frame2, panel().forty, panel().twenty, panel().fifteen,
                                             panel().ten, panel().bandlist, panel().Label18})
            if (w->isVisibleTo(h.form.get()) != radio) return false;
        return h.form->presets->isVisibleTo(h.form.get()) != radio;
    };
    EXPECT_FALSE(h.form->presets->isVisibleTo(h.form.get())); // start-up leaves it to the status event
    h.modem.raiseStatus(1200, 0);
    EXPECT_TRUE(shown(false));
    EXPECT_EQ(h.modem.DialFreq(), 0);
    h.saveSettingsWith(catPortAnd({{40, "Yes"}, {50, "15"}, {63, "1"}}));
    h.modem.raiseStatus(1200, 0);
    EXPECT_TRUE(shown(true));
    EXPECT_EQ(h.modem.DialFreq(), 21070);
}

// The window shows the file; each edit goes into its list at once and nothing reaches the file
// before "Update Settings". A save that fails says why and keeps the window, its edits and nothing
// marked changed, so no re-apply reads the old file over them; one that works writes the list and
// hides the window, and the next status event opens the port and tunes with the new model and preset.
TEST_F(RadioWindowTest, SettingsWindowShowsTheFileAndUpdateHandsTheEditsOnAtTheNextStatusEvent) {
    const char* items[] = {"No", "/dev/ttyUSB3", "4800", "7", "E", "2", "035", "070", "071", "120"};
    FormHarness::Items settings = {{63, "1"}};
    for (int i = 0; i < 10; ++i)
        settings.emplace_back(40 + i, items[i]);
    h.startSettled(settings);
    RadioSettingsWindow* w = openSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible() && w->isWindow() && !w->isModal());
    const auto shown = [w] {
        return QStringList{w->rcyes->currentText(),    w->comportr->currentText(), w->baud->currentText(),
                           w->Databits->currentText(), w->parity->currentText(),   w->stopbits->currentText(),
                           w->fortypre->text(),        w->twentypre->text(),       w->fifteenpre->text(),
                           w->tenpre->text()};
    };
    EXPECT_EQ(shown(), QStringList(std::begin(items), std::end(items)));
    EXPECT_EQ(openSettings(), w);

    const std::string before = readFile(h.file("tavrel.ini"));
    QTest::mouseClick(w->ft900, Qt::LeftButton);
    QTest::keyClicks(w->fortypre, "7");
    w->twentypre->setText("074");
    w->fifteenpre->setText("080");
    w->tenpre->setText("150");
    const char* boxes[] = {"Yes", "/dev/ttyUSB7", "9600", "8", "N", "2"};
    for (int i = 0; i < 6; ++i)
        type(std::array{w->rcyes, w->comportr, w->baud, w->Databits, w->parity, w->stopbits}[i], boxes[i]);
    std::filesystem::create_directory(h.file("tavrel.ini.tmp")); // the write cannot be made
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    ASSERT_EQ(h.told.size(), 1u);
    EXPECT_NE(h.told[0].find("tavrel.ini"), std::string::npos) << h.told[0];
    EXPECT_EQ(readFile(h.file("tavrel.ini")), before);
    EXPECT_FALSE(h.form->state.settings.changePending());
    EXPECT_TRUE(w->isVisible() && w->comportr->currentText() == "/dev/ttyUSB7");
    std::filesystem::remove(h.file("tavrel.ini.tmp"));
    h.comm2.clearRecord();
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    const SettingsList s = onDisk();
    EXPECT_EQ(std::vector<std::string>(s.begin() + 40, s.begin() + 50),
              (std::vector<std::string>{"Yes", "/dev/ttyUSB7", "9600", "8", "N", "2", "0357", "074", "080",
                                        "150"}));
    EXPECT_TRUE(h.form->state.settings.changePending());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(h.form->radioControl->settingsWindow(), w); // hidden, still loaded
    EXPECT_TRUE(h.comm2.writes().empty());
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(h.comm2.writes(),
              (std::vector<std::string>{"PortOpen=0", "CommPort=/dev/ttyUSB7", "Settings=9600, N, 8, 2",
                                        "Handshaking=0", "PortOpen=1", "CommPort=/dev/ttyUSB7 (failed)",
                                        "Output=00 74 40 01 0A"}));

    // Shown again, it is not read again: its whole list goes back over the band saved since.
    QTest::mouseClick(panel().forty, Qt::LeftButton);
    EXPECT_EQ(onDisk()[50], "40");
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(openSettings(), w);
    w->Command1_Click();
    EXPECT_EQ(onDisk()[50], "20");
    // The close box drops the edits: the next window reads the file.
    ASSERT_EQ(openSettings(), w);
    type(w->comportr, "2");
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(h.form->radioControl->settingsWindow(), nullptr);
    EXPECT_EQ(openSettings()->comportr->currentText(), "/dev/ttyUSB7");
}

TEST_F(RadioWindowTest, SettingsWindowSelectsTheModelsButtonAndListsThePorts) {
    for (auto [model, selected] : {std::pair{"1", 0}, {"3", 2}, {"4", 3}, {"", -1}, {"9", -1}}) {
        h.writeSettingsWith({{63, model}});
        RadioSettingsWindow w(h.form->state, nullptr, nullptr, std::vector<std::string>{"/dev/ttyUSB0"});
        const QRadioButton* buttons[4] = {w.ic735, w.ft900, w.ts440, w.hamlib};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(buttons[i]->isChecked(), i == selected) << model;
        EXPECT_EQ(w.hamlibRig->isEnabled(), selected == 3) << model;
    }
    RadioSettingsWindow w(h.form->state, nullptr, nullptr, std::vector<std::string>{"/dev/ttyUSB0"});
    QStringList ports;
    for (int i = 0; i < w.comportr->count(); ++i)
        ports << w.comportr->itemText(i);
    EXPECT_EQ(ports, QStringList({"0", "1", "2", "3", "4", "/dev/ttyUSB0"}));
}

// The Hamlib choice: the rig list searched and picked, the data mode, and "Test" against Hamlib's
// dummy rig and against a network rig that is not there; the window never waits for the rig.
TEST_F(RadioWindowTest, HamlibRigIsPickedFromTheListAndTested) {
    h.startSettled({{63, "1"}, {64, "3073"}, {65, "1"}});
    RadioSettingsWindow* w = openSettings();
    HamlibPicker* p = w->hamlibRig;
    EXPECT_EQ(p->selectedModel(), 3073);
    EXPECT_TRUE(p->hamdata->isChecked());
    // On its indicator: a radio button takes clicks on its indicator and caption only.
    QTest::mouseClick(w->hamlib, Qt::LeftButton, {}, QPoint(6, w->hamlib->height() / 2));
    EXPECT_TRUE(p->isEnabled());
    QTest::keyClicks(p->rigsearch, "yaesu 991");
    QStringList found;
    for (int i = 0; i < p->riglist->topLevelItemCount(); ++i)
        if (!p->riglist->topLevelItem(i)->isHidden()) found << p->riglist->topLevelItem(i)->text(1);
    EXPECT_TRUE(found.contains("FT-991") && found.size() <= 3) << found.join(", ").toStdString();
    p->riglist->setCurrentItem(p->riglist->findItems("FT-991", Qt::MatchExactly, 1).front());
    QTest::mouseClick(p->hamdata, Qt::LeftButton);
    p->rigsearch->clear();
    EXPECT_FALSE(p->riglist->topLevelItem(0)->isHidden());
    type(w->comportr, "0");
    QTest::mouseClick(p->rigtest, Qt::LeftButton);
    EXPECT_EQ(p->rigtestresult->text(), "no CAT port set for Yaesu FT-991");

    const std::tuple<int, const char*, const char*> tests[] = {{1, "0", "Rig answers: 145.000000 MHz, "},
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

// A real rigctld as the station's rig: the band restore and the buttons tune it, the panel follows
// a turn of its dial (the band is not saved for that) and the re-apply leaves it there; PTT goes
// through it; a rigctld that goes away is told and one that comes back gets the band asked for
// meanwhile. A rig the settings cannot name is told, and the buttons go on working.
TEST_F(RadioWindowTest, RigctldFollowsTheBandButtonsAndThePanelFollowsTheRig) {
    Rigctld d;
    ASSERT_TRUE(d.start()) << "rigctld (Debian's libhamlib-utils) did not start";
    rig().useRigs({}, RigTiming{300, 500, 3000});
    h.startWith({{63, "4"}, {64, "2"}, {41, d.address()}, {50, "15"}, {65, "1"}, {27, "4"}});
    const auto tuned = [&](const char* hz, const char* mode) {
        return waitFor([&] { return d.rigctl({"f"}) == hz && d.rigctl({"m"}).startsWith(mode); });
    };
    EXPECT_TRUE(tuned("21070000", "PKTUSB")) << d.rigctl({"f"}).toStdString();
    EXPECT_TRUE(h.comm2.writes().empty()); // the CAT port is Hamlib's
    QTest::mouseClick(panel().twenty, Qt::LeftButton);
    EXPECT_TRUE(tuned("14070000", "PKTUSB"));
    ASSERT_EQ(d.rigctl({"F", "3573000"}) + d.rigctl({"M", "PKTLSB", "0"}), "");
    ASSERT_TRUE(
        waitFor([&] { return h.modem.DialFreq() == 3573 && panel().txrxlsb->isVisibleTo(h.form.get()); }));
    EXPECT_EQ(QStringList({band(), panel().bandlist->currentText()}), QStringList({"80", "80"}));
    EXPECT_FALSE(panel().txrxusb->isVisibleTo(h.form.get()));
    EXPECT_EQ(onDisk()[50], "20");
    ASSERT_TRUE(h.form->state.settings.changePending());
    h.modem.raiseStatus(1200, 0); // the re-apply after the band save
    EXPECT_EQ(band(), "80");
    QTest::qWait(500);
    EXPECT_EQ(d.rigctl({"f"}), "3573000");
    h.modem.raiseStatus(1200, 0); // on the lower sideband the audio lies below the dial
    EXPECT_EQ(panel().txrxfreq->text(), "3,571,800");
    for (int state : {1, 0}) {
        h.modem.raiseTxState(state);
        EXPECT_TRUE(waitFor([&] { return d.rigctl({"t"}) == QString::number(state); })) << state;
    }
    d.stop();
    ASSERT_TRUE(waitFor([&] { return rigStatus().startsWith("rig not responding"); }));
    EXPECT_EQ(rigStatus(), rigStatus().trimmed());
    EXPECT_EQ(h.control<QLabel>("rigstatus")->parentWidget(), h.form->statusBar());
    QTest::mouseClick(panel().ten, Qt::LeftButton);
    EXPECT_EQ(band(), "10");
    ASSERT_TRUE(d.start());
    EXPECT_TRUE(waitFor([&] { return rigStatus().isEmpty(); })) << rigStatus().toStdString();
    EXPECT_TRUE(tuned("28120000", "PKTUSB")) << d.rigctl({"f"}).toStdString();

    h.saveSettingsWith({{63, "4"}, {64, ""}});
    h.modem.raiseStatus(1200, 0);
    EXPECT_EQ(rigStatus(), "no Hamlib rig model chosen");
    QTest::mouseClick(panel().forty, Qt::LeftButton);
    EXPECT_EQ(std::pair(band(), h.modem.DialFreq()), std::pair(QString("40"), 7035.0));
}

} // namespace
